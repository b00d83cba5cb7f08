#include "report/preview/preview_workspace.h"

#include "report/engine/pages/prepared_pages.h"
#include "report/engine/pages/view_drawing.h"
#include "report/preview/preview_layout.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace quittung::report {

namespace {

constexpr int ArrowStep = 8;
constexpr int PageKeyStep = 300;
constexpr int WheelStep = 20;
constexpr double WheelZoomStep = 0.1;
const QColor Background(0x80, 0x80, 0x80);

} // namespace

PreviewWorkspace::PreviewWorkspace(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    // The grey is part of the preview, not of the window's style.
    viewport()->setAutoFillBackground(false);
}

void PreviewWorkspace::setPages(const PreparedPages* pages)
{
    m_pages = pages;
    refresh();
}

void PreviewWorkspace::refresh()
{
    m_pictures.clear();
    m_highlight.reset();
    layOut();
}

void PreviewWorkspace::setZoom(double zoom)
{
    zoom = limitedZoom(zoom);
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    m_pictures.clear();
    layOut();
}

void PreviewWorkspace::layOut()
{
    std::vector<QSizeF> sizes;
    if (m_pages)
        for (int i = 0; i < m_pages->count(); ++i)
            sizes.push_back(m_pages->pageSize(i));
    m_pageRects = layOutPages(sizes, m_zoom, viewport()->width());
    const QSize extent = layoutExtent(m_pageRects);
    horizontalScrollBar()->setRange(0, std::max(0, extent.width() - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setRange(0, std::max(0, extent.height() - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(ArrowStep);
    horizontalScrollBar()->setSingleStep(ArrowStep);
    viewport()->update();
}

int PreviewWorkspace::pageAtTop() const
{
    if (m_pageRects.empty())
        return 0;
    // The first page of the last row that has begun above the middle of the visible area.
    const int line = verticalScrollBar()->value() + viewport()->height() / 2;
    int page = 1;
    for (std::size_t i = 0; i < m_pageRects.size(); ++i) {
        const QRect& rect = m_pageRects[i];
        if (rect.top() > line)
            break;
        if (i == 0 || rect.top() != m_pageRects[i - 1].top())
            page = static_cast<int>(i) + 1;
    }
    return page;
}

void PreviewWorkspace::scrollToPage(int page)
{
    if (page < 1 || page > static_cast<int>(m_pageRects.size()))
        return;
    const QRect& rect = m_pageRects[static_cast<std::size_t>(page - 1)];
    verticalScrollBar()->setValue(rect.top() - PageGap);
    if (rect.left() < horizontalScrollBar()->value() || rect.right() > horizontalScrollBar()->value() + viewport()->width())
        horizontalScrollBar()->setValue(rect.left() - PageGap);
}

void PreviewWorkspace::setHighlight(const std::optional<TextMatch>& match)
{
    m_highlight = match;
    viewport()->update();
}

const QImage& PreviewWorkspace::pagePicture(int index, const QSize& size, qreal pixelRatio)
{
    auto found = m_pictures.find(index);
    if (found != m_pictures.end())
        return found->second;
    const QSize pixels(static_cast<int>(std::ceil(size.width() * pixelRatio)), static_cast<int>(std::ceil(size.height() * pixelRatio)));
    QImage picture(pixels, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        drawPage(*m_pages, index, painter, m_zoom * pixelRatio, m_zoom * pixelRatio, 0, 0);
    }
    picture.setDevicePixelRatio(pixelRatio);
    return m_pictures.emplace(index, std::move(picture)).first->second;
}

void PreviewWorkspace::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Background);
    if (!m_pages)
        return;
    const qreal ratio = viewport()->devicePixelRatioF();
    if (ratio != m_picturesRatio) {
        m_pictures.clear();
        m_picturesRatio = ratio;
    }
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const QRect visible = viewport()->rect().translated(scroll);
    for (std::size_t i = 0; i < m_pageRects.size(); ++i) {
        const int index = static_cast<int>(i);
        const QRect& rect = m_pageRects[i];
        if (!rect.adjusted(-1, -1, 1, 1).intersects(visible)) {
            m_pictures.erase(index);
            continue;
        }
        const QRect onScreen = rect.translated(-scroll);
        painter.drawImage(onScreen.topLeft(), pagePicture(index, rect.size(), ratio));
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(onScreen.adjusted(-1, -1, 0, 0));
        if (m_highlight && m_highlight->page == index + 1) {
            const QRectF& found = m_highlight->rect;
            const QRectF mark(onScreen.left() + found.left() * m_zoom, onScreen.top() + found.top() * m_zoom,
                found.width() * m_zoom, found.height() * m_zoom);
            painter.fillRect(mark, QColor(255, 200, 0, 90));
            painter.setPen(QPen(QColor(230, 120, 0), 2));
            painter.drawRect(mark);
        }
    }
}

void PreviewWorkspace::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (onResized)
        onResized();
    layOut();
}

void PreviewWorkspace::scrollContentsBy(int, int)
{
    viewport()->update();
    if (onScrolled)
        onScrolled();
}

void PreviewWorkspace::keyPressEvent(QKeyEvent* event)
{
    const bool control = event->modifiers() & Qt::ControlModifier;
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    switch (event->key()) {
    case Qt::Key_Up:
        vertical->setValue(vertical->value() - ArrowStep);
        break;
    case Qt::Key_Down:
        vertical->setValue(vertical->value() + ArrowStep);
        break;
    case Qt::Key_Left:
        horizontal->setValue(horizontal->value() - ArrowStep);
        break;
    case Qt::Key_Right:
        horizontal->setValue(horizontal->value() + ArrowStep);
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const int direction = event->key() == Qt::Key_PageUp ? -1 : 1;
        if (control) {
            if (onPageStep)
                onPageStep(direction);
        } else {
            vertical->setValue(vertical->value() + direction * PageKeyStep);
        }
        break;
    }
    case Qt::Key_Home:
    case Qt::Key_End:
        if (onPageEnd)
            onPageEnd(event->key() == Qt::Key_End);
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void PreviewWorkspace::wheelEvent(QWheelEvent* event)
{
    // One notch is 120 eighths of a degree.
    const double notches = event->angleDelta().y() / 120.0;
    if (event->modifiers() & Qt::ControlModifier) {
        if (onZoomStep)
            onZoomStep(notches * WheelZoomStep);
    } else {
        verticalScrollBar()->setValue(verticalScrollBar()->value() - static_cast<int>(std::lround(notches * WheelStep)));
    }
    event->accept();
}

} // namespace quittung::report
