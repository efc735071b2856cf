#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/printer.h"

namespace palomind::test {

// A printer that records what is drawn, document by document and page by
// page, and can be told to fail at a given page break or document end.
class RecordingPrinter final : public Printer {
  public:
    enum class Kind { Text, Line, Rectangle };
    struct Item {
        Kind kind;
        int document;        // 0-based
        int page;            // 0-based within the document
        int x1, y1, x2, y2;  // a text's position is (x1, y1)
        std::string text;
    };

    std::vector<Item> items;
    int documentsEnded = 0;
    int lineHeight = 240;
    int pageHeight = 15000;
    // 1-based count of the NewPage / EndDoc call that fails; 0 never fails.
    int failNewPageCall = 0;
    int failEndDocCall = 0;

    void SetCurrentX(int twips) override { x_ = twips; }
    void SetCurrentY(int twips) override { y_ = twips; }
    int CurrentY() const override { return y_; }
    void PrintLine(std::string_view text) override {
        items.push_back({Kind::Text, documentsEnded, page_, x_, y_, 0, 0, std::string(text)});
        x_ = 0;
        y_ += lineHeight;
    }
    void DrawLine(int x1, int y1, int x2, int y2) override {
        items.push_back({Kind::Line, documentsEnded, page_, x1, y1, x2, y2, {}});
    }
    void DrawRectangle(int x1, int y1, int x2, int y2) override {
        items.push_back({Kind::Rectangle, documentsEnded, page_, x1, y1, x2, y2, {}});
    }
    int LineHeight() const override { return lineHeight; }
    int PageHeight() const override { return pageHeight; }
    bool NewPage() override {
        if (++newPageCalls_ == failNewPageCall) return false;
        ++page_;
        x_ = y_ = 0;
        return true;
    }
    bool EndDoc() override {
        const bool ok = ++endDocCalls_ != failEndDocCall;
        if (ok) ++documentsEnded;
        page_ = 0;
        x_ = y_ = 0;
        return ok;
    }

    // Items of one kind in one document, in drawing order.
    std::vector<Item> Of(Kind kind, int document) const {
        std::vector<Item> found;
        for (const Item& item : items)
            if (item.kind == kind && item.document == document) found.push_back(item);
        return found;
    }
    // The text items of a document as "x,y:text" (page > 0 prefixed "pN ").
    std::vector<std::string> Texts(int document) const {
        std::vector<std::string> texts;
        for (const Item& item : Of(Kind::Text, document))
            texts.push_back(
                (item.page > 0 ? "p" + std::to_string(item.page) + " " : std::string()) +
                std::to_string(item.x1) + "," + std::to_string(item.y1) + ":" + item.text);
        return texts;
    }

  private:
    int x_ = 0;
    int y_ = 0;
    int page_ = 0;
    int newPageCalls_ = 0;
    int endDocCalls_ = 0;
};

}  // namespace palomind::test
