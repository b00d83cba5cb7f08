#pragma once

#include <functional>

namespace quittung::report {

class PreparedPages;
class ReportObject;

// How an output takes a prepared page.
struct PageWalkOptions {
    // For the page-count and copy-name macros of text objects.
    int totalPages = 0;
    // A printout leaves out what is not printable; the export filters decide for themselves.
    bool includeNotPrintable = true;
};

// Called for every object the walk reaches, in order; for a band, false leaves out its objects.
using PageVisitor = std::function<bool(ReportObject& object)>;

// Walks a prepared page the way every output takes it, so that preview, printout, JPEG and PDF show
// the same page. The page is placed at its margins (the right margin on the left of odd pages with
// mirrored margins), so the objects' absolute positions count from the paper's top-left corner. First
// comes a picture object named "_pagebackground" with the page's colour and frame over the
// printable area, then every visible band followed by its visible objects, in the page's order.
// Each text object is completed for the visit: an active highlight's font and colour, the page-count
// and copy macros, the width of an auto-width text. Afterwards everything is put back, so the
// prepared page stays as the engine made it, whatever the visitor throws.
void walkPage(const PreparedPages& pages, int index, const PageWalkOptions& options, const PageVisitor& visit);

} // namespace quittung::report
