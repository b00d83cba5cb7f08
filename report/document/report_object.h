#pragma once

#include "report/document/font.h"
#include "report/document/property_object.h"

#include <memory>

class QIODevice;
#include <vector>

namespace quittung::report {

class Page;
class Report;

// An object of the report tree: the report, its pages, bands and printable objects. A component
// owns its children; attaching it to another parent moves it there. Every object of a report is
// found by its name, which is an identifier unique within the report without regard to case.
class ReportObject : public PropertyObject {
public:
    ReportObject();
    ReportObject& operator=(const ReportObject&) = delete;
    ~ReportObject() override;

    // The class name without "Tfrx" and a trailing "View": "Memo", "Shape", "Page".
    virtual QString baseName() const;

    const QString& name() const { return m_name; }
    // Throws "''%s'' ist kein gültiger Komponentenname" for a name that is no identifier and
    // "prDupl" for a name another object of the report holds; the old name stays then.
    void setName(const QString& name);
    // Names the object baseName() + the smallest number that no object of the report uses.
    void createUniqueName();

    ReportObject* parent() const { return m_parent; }
    // Moves the object to the end of the new parent's children.
    void setParent(ReportObject* parent);
    // Adds a child at the end and returns it.
    ReportObject* adopt(std::unique_ptr<ReportObject> child);
    template <class T>
    T* add()
    {
        return static_cast<T*>(adopt(std::make_unique<T>()));
    }
    // Removes the object from its parent and hands it over.
    std::unique_ptr<ReportObject> detach();
    // Moves the object to that position among its parent's children (the last one if beyond).
    void moveToIndex(std::size_t index);

    // The children in creation order.
    const std::vector<std::unique_ptr<ReportObject>>& children() const { return m_children; }
    std::vector<ReportObject*> objects() const;
    // All descendants, depth first.
    std::vector<ReportObject*> allObjects() const;
    // Destroys all children with their children, from the front.
    virtual void clear();

    // The nearest report up the chain, and the nearest page (the object itself included).
    Report* report() const;
    Page* page() const;
    // Searches all objects of the report (or of this tree) by name without regard to case.
    ReportObject* findObject(const QString& name) const;

    double left() const { return m_left; }
    virtual void setLeft(double value) { m_left = value; }
    double top() const { return m_top; }
    virtual void setTop(double value) { m_top = value; }
    double width() const { return m_width; }
    virtual void setWidth(double value) { m_width = value; }
    double height() const { return m_height; }
    virtual void setHeight(double value) { m_height = value; }
    void setBounds(double left, double top, double width, double height);
    // Left and Top added up along the parents; the report and its pages count 0.
    double absLeft() const;
    double absTop() const;

    // Changing the font turns ParentFont off and passes the font on to the children that follow
    // their parent's font.
    Font& font() { return m_font; }
    const Font& font() const { return m_font; }
    void setFont(const Font& font) { m_font.assign(font); }
    bool parentFont() const { return m_parentFont; }
    void setParentFont(bool value);

    bool visible() const { return m_visible; }
    virtual void setVisible(bool value) { m_visible = value; }
    int tag() const { return m_tag; }
    void setTag(int value) { m_tag = value; }
    const QString& description() const { return m_description; }
    void setDescription(const QString& value) { m_description = value; }

    bool isLoading() const { return m_isLoading; }
    void setIsLoading(bool value) { m_isLoading = value; }
    bool isDesigning() const { return m_isDesigning; }
    bool isPrinting() const { return m_isPrinting; }
    void setIsPrinting(bool value) { m_isPrinting = value; }
    bool isWriting() const { return m_isWriting; }
    void setIsWriting(bool value) { m_isWriting = value; }

    // The object and its children in the template format, and back. Loading into an object applies
    // the saved object's properties to it and adds the saved children.
    void saveToStream(QIODevice& stream, bool saveChildren = true) const;
    void loadFromStream(QIODevice& stream);
    // Copies the source's properties through the template format (defaults included), without
    // and with its children. The name stays the object's own.
    void assign(ReportObject& source);
    void assignAll(ReportObject& source);

    // Called once a template load has applied everything to the object.
    virtual void loaded() {}

    // Whether the object counts for absLeft/absTop (pages and the report do not).
    virtual bool isPositioned() const { return true; }

    // Object kinds whose behaviour is not built keep the attributes their property table does not
    // know, in the order read, so a template holding them saves again without losing anything.
    virtual bool keepsUnknownAttributes() const { return false; }
    struct KeptAttribute {
        QString name;
        QString text; // as it stood in the file, still escaped
    };
    std::vector<KeptAttribute>& keptAttributes() { return m_keptAttributes; }
    const std::vector<KeptAttribute>& keptAttributes() const { return m_keptAttributes; }

protected:
    // The object's properties and name, without parent and children (copyObject): the kinds of
    // objects are copied by their copy constructors, which this one serves.
    ReportObject(const ReportObject& other);

    // The root of the tree the object is in: the report, or the topmost parent.
    const ReportObject* root() const;

private:
    void fontChanged();
    void followParentFont();
    // Whether another object of the tree has the name (letter case ignored).
    bool nameTakenByOther(const QString& name) const;

    QString m_name;
    ReportObject* m_parent = nullptr;
    std::vector<std::unique_ptr<ReportObject>> m_children;
    double m_left = 0;
    double m_top = 0;
    double m_width = 0;
    double m_height = 0;
    Font m_font;
    bool m_parentFont = true;
    bool m_updatingFont = false;
    bool m_visible = true;
    int m_tag = 0;
    QString m_description;
    bool m_isLoading = false;
    bool m_isDesigning = false;
    bool m_isPrinting = false;
    bool m_isWriting = false;
    std::vector<KeptAttribute> m_keptAttributes;
};

// Whether a text is an identifier: a letter or "_" first, then letters, digits and "_".
bool isValidIdentifier(const QString& name);

} // namespace quittung::report
