#include "platform/window/page_set.h"

#include <limits>
#include <stdexcept>
#include <utility>

#include <new>

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#define PAGE_STORAGE_MAPPED 1
#endif

namespace wnd {
namespace {

// Texts stored once however often they recur: short ones (labels, flags, names, dates), up to a
// bound, so the index stays small beside the pages.
constexpr std::size_t kInternedLength = 48;
constexpr std::size_t kInternedTexts = 16384;
// A set this large also asks the heaps to give back what its making left free.
constexpr std::size_t kTrimBytes = std::size_t{4} << 20;
constexpr std::size_t kMappedBytes = std::size_t{1} << 20;

std::uint32_t checked32(std::size_t n) {
    if (n > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("page set too large");
    return static_cast<std::uint32_t>(n);
}

}  // namespace

void* AllocatePageStorage(std::size_t bytes) {
#if defined(PAGE_STORAGE_MAPPED)
    if (bytes >= kMappedBytes) {
        void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED) throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
        // Fewer, larger pages: filling a fresh block then costs a few faults rather than thousands.
        madvise(block, bytes, MADV_HUGEPAGE);
#endif
        return block;
    }
#endif
    return ::operator new(bytes);
}

void FreePageStorage(void* block, std::size_t bytes) {
#if defined(PAGE_STORAGE_MAPPED)
    if (bytes >= kMappedBytes) {
        munmap(block, bytes);
        return;
    }
#endif
    ::operator delete(block);
}

PageList::~PageList() {
    const bool large = BytesHeld() >= kTrimBytes;
    Release();
#if defined(__GLIBC__)
    if (large) malloc_trim(0);
#else
    (void)large;
#endif
}

void PageList::Release() {
    decltype(items_)().swap(items_);
    decltype(ends_)().swap(ends_);
    std::vector<Shape>().swap(shapes_);
    decltype(texts_)().swap(texts_);
    std::map<Shape, std::uint32_t>().swap(shapeIndex_);
    std::unordered_map<std::string, std::uint32_t>().swap(textIndex_);
}

std::uint32_t PageList::ShapeOf(const PageItem& item) {
    Shape s{item.kind, item.at.width, item.at.height, item.font, item.align, item.wrap, item.pen};
    if (shapeIndex_.empty() && !shapes_.empty()) {
        // Sealed before: the index is made again from the shapes kept.
        for (std::size_t i = 0; i < shapes_.size(); ++i) shapeIndex_.emplace(shapes_[i], static_cast<std::uint32_t>(i));
    }
    const auto [it, added] = shapeIndex_.emplace(std::move(s), checked32(shapes_.size()));
    if (added) shapes_.push_back(it->first);
    return it->second;
}

std::uint32_t PageList::TextOf(const std::string& text) {
    const bool interned = text.size() <= kInternedLength;
    if (interned)
        if (const auto it = textIndex_.find(text); it != textIndex_.end()) return it->second;
    const std::uint32_t at = checked32(texts_.size());
    for (std::size_t n = text.size();; n >>= 7) {
        const auto low = static_cast<unsigned char>(n & 0x7F);
        if (n < 0x80) {
            texts_.push_back(static_cast<char>(low));
            break;
        }
        texts_.push_back(static_cast<char>(low | 0x80));
    }
    texts_.append(text.data(), text.size());
    checked32(texts_.size());
    if (interned && textIndex_.size() < kInternedTexts) textIndex_.emplace(text, at);
    return at;
}

std::string PageList::TextAt(std::uint32_t at) const {
    std::size_t length = 0, p = at;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(texts_[p++]);
        length |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80)) break;
    }
    return std::string(texts_.data() + p, length);
}

void PageList::push_back(const Page& page) {
    const std::size_t before = items_.size();
    try {
        for (const PageItem& item : page.items)
            items_.push_back(Item{item.at.x, item.at.y, ShapeOf(item), TextOf(item.text)});
        ends_.push_back(checked32(items_.size()));
    } catch (...) {
        items_.resize(before);  // a page is added whole or not at all
        throw;
    }
}

const Page PageList::operator[](std::size_t index) const {
    Page page;
    const std::size_t from = index == 0 ? 0 : ends_[index - 1], to = ends_[index];
    page.items.reserve(to - from);
    for (std::size_t i = from; i < to; ++i) {
        const Item& packed = items_[i];
        const Shape& s = shapes_[packed.shape];
        PageItem& item = page.items.emplace_back();
        item.kind = s.kind;
        item.at = {packed.x, packed.y, s.width, s.height};
        item.text = TextAt(packed.text);
        item.font = s.font;
        item.align = s.align;
        item.wrap = s.wrap;
        item.pen = s.pen;
    }
    return page;
}

const Page PageList::at(std::size_t index) const {
    if (index >= size()) throw std::out_of_range("no such page");
    return (*this)[index];
}

void PageList::Seal() {
    std::map<Shape, std::uint32_t>().swap(shapeIndex_);
    std::unordered_map<std::string, std::uint32_t>().swap(textIndex_);
    // A block from the system holds memory only where it was written: the rest of it costs
    // nothing, and fitting it would copy the whole block. Heap blocks are fitted.
    if (items_.capacity() * sizeof(Item) < kMappedBytes) items_.shrink_to_fit();
    if (ends_.capacity() * sizeof(std::uint32_t) < kMappedBytes) ends_.shrink_to_fit();
    if (texts_.capacity() < kMappedBytes) texts_.shrink_to_fit();
    shapes_.shrink_to_fit();
}

std::size_t PageList::BytesHeld() const {
    return items_.size() * sizeof(Item) + ends_.size() * sizeof(std::uint32_t) + shapes_.size() * sizeof(Shape) +
           texts_.size();
}

}  // namespace wnd
