#pragma once

#include "report/preview/text_search.h"

#include <QAbstractScrollArea>
#include <QImage>

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace quittung::report {

class PreparedPages;

// The scrolled area of the preview: the prepared pages on grey at a zoom. Pages are always white
// paper, drawn at the screen's device pixel ratio; only the visible ones are drawn, and each is kept
// as a picture until the zoom or the pages change.
class PreviewWorkspace : public QAbstractScrollArea {
public:
    explicit PreviewWorkspace(QWidget* parent = nullptr);

    // Not owned; call refresh() whenever the pages changed.
    void setPages(const PreparedPages* pages);
    void refresh();

    double zoom() const { return m_zoom; }
    void setZoom(double zoom);
    const std::vector<QRect>& pageRects() const { return m_pageRects; }

    // The page (from 1) at the top of the visible area; 0 without pages.
    int pageAtTop() const;
    void scrollToPage(int page);
    // A found text, framed on its page; nullopt removes the frame.
    void setHighlight(const std::optional<TextMatch>& match);

    // What the keys and the wheel ask of the window.
    std::function<void(int delta)> onPageStep;
    std::function<void(bool last)> onPageEnd;
    std::function<void(double delta)> onZoomStep;
    std::function<void()> onScrolled;
    std::function<void()> onResized;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void layOut();
    const QImage& pagePicture(int index, const QSize& size, qreal pixelRatio);

    const PreparedPages* m_pages = nullptr;
    double m_zoom = 1.0;
    std::vector<QRect> m_pageRects;
    std::map<int, QImage> m_pictures;
    qreal m_picturesRatio = 0;
    std::optional<TextMatch> m_highlight;
};

} // namespace quittung::report
