#pragma once

#include "report/document/font.h"
#include "report/document/persistent.h"

#include <memory>

class QIODevice;
#include <vector>

namespace quittung {

class TfrxPage;
class TfrxReport;

// An object of the report tree: the report, its pages, bands and printable objects. A component
// owns its children; attaching it to another parent moves it there. Every object of a report is
// found by its name, which is an identifier unique within the report without regard to case.
class TfrxComponent : public TfrxPersistent {
public:
    TfrxComponent();
    TfrxComponent(const TfrxComponent&) = delete;
    TfrxComponent& operator=(const TfrxComponent&) = delete;
    ~TfrxComponent() override;

    // The class name without "Tfrx" and a trailing "View": "Memo", "Shape", "Page".
    virtual QString BaseName() const;

    const QString& Name() const { return m_name; }
    // Throws "''%s'' ist kein gültiger Komponentenname" for a name that is no identifier and
    // "prDupl" for a name another object of the report holds; the old name stays then.
    void SetName(const QString& name);
    // Names the object BaseName + the smallest number that no object of the report uses.
    void CreateUniqueName();

    TfrxComponent* Parent() const { return m_parent; }
    // Moves the object to the end of the new parent's children.
    void SetParent(TfrxComponent* parent);
    // Adds a child at the end and returns it.
    TfrxComponent* Adopt(std::unique_ptr<TfrxComponent> child);
    template <class T>
    T* Add()
    {
        return static_cast<T*>(Adopt(std::make_unique<T>()));
    }
    // Removes the object from its parent and hands it over.
    std::unique_ptr<TfrxComponent> Detach();
    // Moves the object to that position among its parent's children (the last one if beyond).
    void MoveToIndex(std::size_t index);

    // The children in creation order.
    const std::vector<std::unique_ptr<TfrxComponent>>& Children() const { return m_children; }
    std::vector<TfrxComponent*> Objects() const;
    // All descendants, depth first.
    std::vector<TfrxComponent*> AllObjects() const;
    // Destroys all children with their children, from the front.
    virtual void Clear();

    // The nearest report up the chain, and the nearest page (the object itself included).
    TfrxReport* Report() const;
    TfrxPage* Page() const;
    // Searches all objects of the report (or of this tree) by name without regard to case.
    TfrxComponent* FindObject(const QString& name) const;

    double Left() const { return m_left; }
    virtual void SetLeft(double value) { m_left = value; }
    double Top() const { return m_top; }
    virtual void SetTop(double value) { m_top = value; }
    double Width() const { return m_width; }
    virtual void SetWidth(double value) { m_width = value; }
    double Height() const { return m_height; }
    virtual void SetHeight(double value) { m_height = value; }
    void SetBounds(double left, double top, double width, double height);
    // Left and Top added up along the parents; the report and its pages count 0.
    double AbsLeft() const;
    double AbsTop() const;

    // Changing the font turns ParentFont off and passes the font on to the children that follow
    // their parent's font.
    TfrxFont& Font() { return m_font; }
    const TfrxFont& Font() const { return m_font; }
    void SetFont(const TfrxFont& font) { m_font.Assign(font); }
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool value);

    bool Visible() const { return m_visible; }
    virtual void SetVisible(bool value) { m_visible = value; }
    int Tag() const { return m_tag; }
    void SetTag(int value) { m_tag = value; }
    const QString& Description() const { return m_description; }
    void SetDescription(const QString& value) { m_description = value; }

    bool IsLoading() const { return m_isLoading; }
    void SetIsLoading(bool value) { m_isLoading = value; }
    bool IsDesigning() const { return m_isDesigning; }
    bool IsPrinting() const { return m_isPrinting; }
    void SetIsPrinting(bool value) { m_isPrinting = value; }
    bool IsWriting() const { return m_isWriting; }
    void SetIsWriting(bool value) { m_isWriting = value; }

    // The object and its children in the template format, and back. Loading into an object applies
    // the saved object's properties to it and adds the saved children.
    void SaveToStream(QIODevice& stream, bool saveChildren = true);
    void LoadFromStream(QIODevice& stream);
    // Copies the source's properties through the template format (defaults included), without
    // and with its children. The name stays the object's own.
    void Assign(TfrxComponent& source);
    void AssignAll(TfrxComponent& source);

    // Called once a template load has applied everything to the object.
    virtual void Loaded() {}

    // Whether the object counts for AbsLeft/AbsTop (pages and the report do not).
    virtual bool IsPositioned() const { return true; }

    // Object kinds whose behaviour is not built keep the attributes their property table does not
    // know, in the order read, so a template holding them saves again without losing anything.
    virtual bool KeepsUnknownAttributes() const { return false; }
    struct KeptAttribute {
        QString name;
        QString text; // as it stood in the file, still escaped
    };
    std::vector<KeptAttribute>& KeptAttributes() { return m_keptAttributes; }
    const std::vector<KeptAttribute>& KeptAttributes() const { return m_keptAttributes; }

protected:
    // The root of the tree the object is in: the report, or the topmost parent.
    const TfrxComponent* Root() const;

private:
    void fontChanged();
    void followParentFont();

    QString m_name;
    TfrxComponent* m_parent = nullptr;
    std::vector<std::unique_ptr<TfrxComponent>> m_children;
    double m_left = 0;
    double m_top = 0;
    double m_width = 0;
    double m_height = 0;
    TfrxFont m_font;
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
bool IsValidIdent(const QString& name);

} // namespace quittung
