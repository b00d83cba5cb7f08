#pragma once

#include "report/document/font.h"
#include "report/document/frame.h"
#include "report/document/property_object.h"

#include <memory>
#include <vector>

namespace quittung::report {

// A named look that text objects can take over: fill colour, font and frame.
class Style : public PropertyObject {
public:
    QString className() const override { return QStringLiteral("TfrxStyleItem"); }
    const PropertyTable& properties() const override;

    const QString& name() const { return m_name; }
    void setName(const QString& value) { m_name = value; }
    Color color() const { return m_color; }
    void setColor(Color value) { m_color = value; }
    Font& font() { return m_font; }
    const Font& font() const { return m_font; }
    Frame& frame() { return m_frame; }
    const Frame& frame() const { return m_frame; }

private:
    QString m_name;
    Color m_color = colors::None;
    Font m_font;
    Frame m_frame;
};

// The report's style sheet. Receipts have none.
class Styles {
public:
    int count() const { return static_cast<int>(m_items.size()); }
    // Throws the list-index error for an index outside the list.
    Style& item(int index);
    const Style& item(int index) const;
    Style& add();
    void remove(int index);
    void clear() { m_items.clear(); }

    // The style with that name, compared without regard to case; nullptr if none.
    Style* find(const QString& name) const;

private:
    std::vector<std::unique_ptr<Style>> m_items;
};

} // namespace quittung::report
