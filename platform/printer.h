#pragma once
#include <string_view>

namespace palomind {

// The printer the race report is drawn on. Positions and sizes are in twips
// (1/1440 inch) from the top left corner of the printable area. Text goes out
// in the printer's default font; each printed line leaves the current position
// at the left edge, one line lower.
//
// A print document is a run of pages ended by EndDoc. Failures do not throw:
// a printer that fails stops drawing and reports it from NewPage and EndDoc,
// so the report can say which parts never left the computer.
class Printer {
  public:
    virtual ~Printer() = default;

    virtual void SetCurrentX(int twips) = 0;
    virtual void SetCurrentY(int twips) = 0;
    virtual int CurrentY() const = 0;

    // Prints `text` (UTF-8) with its top at the current position, then moves
    // to the left edge one line lower.
    virtual void PrintLine(std::string_view text) = 0;
    virtual void DrawLine(int x1, int y1, int x2, int y2) = 0;
    // Outline only, corners (x1, y1) and (x2, y2).
    virtual void DrawRectangle(int x1, int y1, int x2, int y2) = 0;

    // Height of one printed line in the printer's font.
    virtual int LineHeight() const = 0;
    // Height of the printable area of one page.
    virtual int PageHeight() const = 0;

    // Continues the current document on a fresh page, position at the top
    // left. False when the printer has failed.
    virtual bool NewPage() = 0;
    // Ends the current document and sends it off. False when the printer
    // failed at any point in this document.
    virtual bool EndDoc() = 0;
};

}  // namespace palomind
