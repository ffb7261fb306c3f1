#pragma once
// Printed pages as the report engine makes them and the presenters draw or print them: items placed
// in thousandths of an inch from the paper's top-left corner. Texts are UTF-8 here, as everything a
// presenter receives.
//
// A long report has tens of thousands of pages, so a set keeps them packed (`PageList`): each item
// is a position, an index into the set's few distinct shapes (kind, size, font, alignment, pen) and
// the place of its text in one arena, where a text already seen is stored once. A page is unpacked
// into plain `Page` items when it is read, which costs no more than drawing it.
#include <compare>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/window/control.h"

namespace wnd {

struct PageFont {
    std::string name = "Arial";
    int points = 10;
    bool bold = false;
    bool italic = false;
    friend bool operator==(const PageFont&, const PageFont&) = default;
    friend auto operator<=>(const PageFont&, const PageFont&) = default;
};

struct PageItem {
    enum class Kind { Text, Line, Box };
    Kind kind = Kind::Text;
    Rect at;            // 1/1000 in; a line runs from (x, y) to (x + width, y + height)
    std::string text;
    PageFont font;
    char align = 'L';   // L, R or C within the rectangle
    bool wrap = false;  // a text block: broken into lines at its width, cut off at its height
    int pen = 10;       // lines and the edges of boxes, 1/1000 in
};

struct Page {
    std::vector<PageItem> items;
};

// Storage for packed pages: blocks of a megabyte or more come straight from the system and go
// back to it when freed, whichever thread's heap they would have come from (glibc keeps freed
// memory at the top of a thread's heap, and a closed preview would leave the process larger).
void* AllocatePageStorage(std::size_t bytes);
void FreePageStorage(void* block, std::size_t bytes);

template <class T>
struct PageStorage {
    using value_type = T;
    PageStorage() = default;
    template <class U>
    PageStorage(const PageStorage<U>&) {}
    T* allocate(std::size_t n) { return static_cast<T*>(AllocatePageStorage(n * sizeof(T))); }
    void deallocate(T* p, std::size_t n) { FreePageStorage(p, n * sizeof(T)); }
    template <class U>
    friend bool operator==(const PageStorage&, const PageStorage<U>&) { return true; }
};

// The pages of a set, packed. Read like a vector of pages (each read unpacks a copy); pages are
// only ever added at the end, never changed in place.
class PageList {
public:
    class const_iterator {
    public:
        using value_type = Page;
        using difference_type = std::ptrdiff_t;
        const_iterator() = default;
        const_iterator(const PageList* list, std::size_t index) : list_(list), index_(index) {}
        const Page operator*() const { return (*list_)[index_]; }
        const_iterator& operator++() { ++index_; return *this; }
        const_iterator operator++(int) { const_iterator was = *this; ++index_; return was; }
        friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.index_ == b.index_; }

    private:
        const PageList* list_ = nullptr;
        std::size_t index_ = 0;
    };

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    // Page `index` unpacked (from 0); const, so an edit of the copy cannot be mistaken for one of the page.
    const Page operator[](std::size_t index) const;
    const Page at(std::size_t index) const;  // throws std::out_of_range past the last page
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    void push_back(const Page& page);
    // Drops what adding pages needed (the indexes of shapes and texts seen) and fits the heap
    // storage to what it holds; pages may still be added after.
    void Seal();
    // The bytes the packed pages take.
    std::size_t BytesHeld() const;

    PageList() = default;
    PageList(const PageList&) = default;
    PageList(PageList&&) noexcept = default;
    PageList& operator=(const PageList&) = default;
    PageList& operator=(PageList&&) noexcept = default;
    ~PageList();

private:
    struct Shape {
        PageItem::Kind kind = PageItem::Kind::Text;
        int width = 0, height = 0;
        PageFont font;
        char align = 'L';
        bool wrap = false;
        int pen = 10;
        friend auto operator<=>(const Shape&, const Shape&) = default;
    };
    struct Item {
        std::int32_t x = 0, y = 0;
        std::uint32_t shape = 0;  // into shapes_
        std::uint32_t text = 0;   // into texts_: the length (7 bits a byte, low first), then the bytes
    };
    std::uint32_t ShapeOf(const PageItem& item);
    std::uint32_t TextOf(const std::string& text);
    std::string TextAt(std::uint32_t at) const;
    void Release();

    std::vector<Item, PageStorage<Item>> items_;                  // every page's, page after page
    std::vector<std::uint32_t, PageStorage<std::uint32_t>> ends_;  // where each page's items end in items_
    std::vector<Shape> shapes_;
    std::basic_string<char, std::char_traits<char>, PageStorage<char>> texts_;
    // While pages are added.
    std::map<Shape, std::uint32_t> shapeIndex_;
    std::unordered_map<std::string, std::uint32_t> textIndex_;
};

struct PageSet {
    std::string title;
    int paperWidth = 8500, paperHeight = 11000;  // 1/1000 in (US Letter)
    PageList pages;
};

}  // namespace wnd
