#pragma once

#include <QPointF>

#include <functional>

namespace quittung::report {

class PreparedPages;
class ReportObject;
class ReportPage;

// How an output takes a prepared page.
struct PageWalkOptions {
    // For the page-count and copy-name macros of text objects.
    int totalPages = 0;
    // A printout leaves out what is not printable; the export filters decide for themselves.
    bool includeNotPrintable = true;
};

// Called for every object the walk reaches, in order; for a band, false leaves out its objects.
using PageVisitor = std::function<bool(const ReportObject& object)>;

// Where a prepared page's printable area lies on the paper, in pixels: at its margins, the right
// margin on the left of odd pages with mirrored margins. The objects' absolute positions count from
// that corner, so an output adds the origin to them.
QPointF pageOrigin(const ReportPage& page, int index);

// Walks a prepared page the way every output takes it, so that preview, printout, JPEG and PDF show
// the same page. First comes a picture object named "_pagebackground" with the page's colour and
// frame over the printable area, then every visible band followed by its visible objects, in the
// page's order. A text object whose output differs from what the engine prepared is handed over as
// a completed copy placed where the object is (an active highlight's font and colour, the page-count
// and copy macros, the width of an auto-width text); the copy has no parent. The prepared pages are
// only read.
void walkPage(const PreparedPages& pages, int index, const PageWalkOptions& options, const PageVisitor& visit);

} // namespace quittung::report
