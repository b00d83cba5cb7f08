#pragma once

#include "report/document/font.h"
#include "report/document/frame.h"
#include "report/document/persistent.h"

#include <memory>
#include <vector>

namespace quittung {

// A named look that text objects can take over: fill colour, font and frame.
class TfrxStyleItem : public TfrxPersistent {
public:
    QString ClassName() const override { return QStringLiteral("TfrxStyleItem"); }
    const PropertyTable& Properties() const override;

    const QString& Name() const { return m_name; }
    void SetName(const QString& value) { m_name = value; }
    TColor Color() const { return m_color; }
    void SetColor(TColor value) { m_color = value; }
    TfrxFont& Font() { return m_font; }
    const TfrxFont& Font() const { return m_font; }
    TfrxFrame& Frame() { return m_frame; }
    const TfrxFrame& Frame() const { return m_frame; }

private:
    QString m_name;
    TColor m_color = clNone;
    TfrxFont m_font;
    TfrxFrame m_frame;
};

// The report's style sheet. Receipts have none.
class TfrxStyles {
public:
    int Count() const { return static_cast<int>(m_items.size()); }
    // Throws the list-index error for an index outside the list.
    TfrxStyleItem& Items(int index);
    const TfrxStyleItem& Items(int index) const;
    TfrxStyleItem& Add();
    void Delete(int index);
    void Clear() { m_items.clear(); }

    // The style with that name, compared without regard to case; nullptr if none.
    TfrxStyleItem* Find(const QString& name) const;

private:
    std::vector<std::unique_ptr<TfrxStyleItem>> m_items;
};

} // namespace quittung
