#include "platform/window/help_file.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <mutex>
#include <utility>

namespace wnd {
namespace {

// Pages are UTF-8; names, keywords and search words compare ignoring ASCII case, which is what the
// help's own texts need.
char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

bool sameNoCase(std::string_view a, std::string_view b) { return a.size() == b.size() && lower(a) == lower(b); }

bool lessNoCase(const std::string& a, const std::string& b) {
    const std::string la = lower(a), lb = lower(b);
    return la != lb ? la < lb : a < b;
}

std::string trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return "";
    const auto last = s.find_last_not_of(" \t\r\n");
    return std::string(s.substr(first, last - first + 1));
}

void appendUtf8(std::string& out, unsigned long c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The named entities pages use, and numeric ones ("&#39;", "&#x27;").
std::string decodeEntities(std::string_view s) {
    static const std::pair<std::string_view, std::string_view> kEntities[] = {
        {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&nbsp;", " "},
    };
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        bool replaced = false;
        if (s[i] == '&' && s.substr(i, 2) == "&#") {
            const bool hex = i + 2 < s.size() && (s[i + 2] == 'x' || s[i + 2] == 'X');
            const std::size_t digits = i + (hex ? 3 : 2);
            const std::size_t end = s.find(';', digits);
            if (end != std::string_view::npos && end > digits && end - digits <= 6) {
                const std::string number(s.substr(digits, end - digits));
                char* stop = nullptr;
                const unsigned long c = std::strtoul(number.c_str(), &stop, hex ? 16 : 10);
                if (stop && *stop == '\0' && c > 0 && c <= 0x10FFFF) {
                    appendUtf8(out, c);
                    i = end + 1;
                    replaced = true;
                }
            }
        } else if (s[i] == '&') {
            for (const auto& [entity, text] : kEntities)
                if (s.substr(i, entity.size()) == entity) {
                    out += text;
                    i += entity.size();
                    replaced = true;
                    break;
                }
        }
        if (!replaced) out += s[i++];
    }
    return out;
}

// The text between <tag ...> and </tag>, or "".
std::string element(std::string_view html, std::string_view tag) {
    const std::string l = lower(html);
    const auto open = l.find("<" + std::string(tag));
    if (open == std::string::npos) return "";
    const auto start = l.find('>', open);
    const auto end = l.find("</" + std::string(tag), start == std::string::npos ? open : start);
    if (start == std::string::npos || end == std::string::npos) return "";
    return decodeEntities(trim(html.substr(start + 1, end - start - 1)));
}

// content="..." of <meta name="keywords" ...>, split at commas.
std::vector<std::string> keywordsOf(std::string_view html) {
    const std::string l = lower(html);
    std::vector<std::string> out;
    for (auto meta = l.find("<meta"); meta != std::string::npos; meta = l.find("<meta", meta + 1)) {
        const auto end = l.find('>', meta);
        if (end == std::string::npos) break;
        const std::string_view tag = std::string_view(l).substr(meta, end - meta);
        if (tag.find("name=\"keywords\"") == std::string_view::npos) continue;
        const auto content = tag.find("content=\"");
        if (content == std::string_view::npos) continue;
        const auto from = meta + content + 9;
        const auto to = l.find('"', from);
        if (to == std::string::npos || to > end) continue;
        const std::string list = decodeEntities(html.substr(from, to - from));
        for (std::size_t start = 0; start <= list.size();) {
            auto comma = list.find(',', start);
            if (comma == std::string::npos) comma = list.size();
            if (std::string k = trim(std::string_view(list).substr(start, comma - start)); !k.empty()) out.push_back(k);
            start = comma + 1;
        }
    }
    return out;
}

// The visible text of the body, folded, each run of non-word characters one blank.
std::string wordsOf(std::string_view html) {
    std::string body = lower(html);
    if (const auto b = body.find("<body"); b != std::string::npos) body.erase(0, b);
    std::string text;
    bool inTag = false;
    for (char c : body) {
        if (c == '<') inTag = true;
        else if (c == '>') {
            inTag = false;
            text += ' ';
        } else if (!inTag) text += c;
    }
    text = decodeEntities(text);
    std::string out = " ";
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        const bool word = std::isalnum(u) || u >= 0x80;
        if (word) out += c;
        else if (out.back() != ' ') out += ' ';
    }
    return out;
}

std::vector<std::string> splitWords(std::string_view query) {
    std::vector<std::string> words;
    std::string w;
    for (char c : lower(query)) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || u >= 0x80) w += c;
        else if (!w.empty()) words.push_back(std::exchange(w, {}));
    }
    if (!w.empty()) words.push_back(w);
    return words;
}

struct Registry {
    std::mutex mutex;
    std::map<std::string, std::shared_ptr<const HelpFile>> files;  // by folded name
};

Registry& registry() {
    static Registry r;
    return r;
}

}  // namespace

void HelpFile::Add(std::string_view topic, std::string_view html) {
    HelpPage page;
    page.topic = std::string(topic);
    page.html = std::string(html);
    page.title = element(html, "title");
    if (page.title.empty()) page.title = page.topic;
    page.keywords = keywordsOf(html);
    page.words = wordsOf(html);
    for (HelpPage& p : pages_)
        if (sameNoCase(p.topic, topic)) {
            p = std::move(page);
            return;
        }
    pages_.push_back(std::move(page));
}

const HelpPage* HelpFile::Find(std::string_view topic) const {
    if (!topic.empty() && topic.front() == '/') topic.remove_prefix(1);
    for (const HelpPage& p : pages_)
        if (sameNoCase(p.topic, topic)) return &p;
    if (topic.find('.') == std::string_view::npos)
        for (const HelpPage& p : pages_)
            if (sameNoCase(p.topic, std::string(topic) + ".htm")) return &p;
    return nullptr;
}

const HelpPage* HelpFile::Contents() const {
    if (const HelpPage* p = Find("contents.htm")) return p;
    return pages_.empty() ? nullptr : &pages_.front();
}

std::vector<HelpIndexEntry> HelpFile::Index() const {
    std::map<std::string, HelpIndexEntry> byKey;
    auto add = [&](const std::string& keyword, const HelpPage& page) {
        HelpIndexEntry& e = byKey[lower(keyword)];
        if (e.keyword.empty()) e.keyword = keyword;
        if (std::find(e.topics.begin(), e.topics.end(), page.topic) == e.topics.end()) e.topics.push_back(page.topic);
    };
    for (const HelpPage& p : pages_) {
        add(p.title, p);
        for (const std::string& k : p.keywords) add(k, p);
    }
    std::vector<HelpIndexEntry> out;
    auto byTitle = [this](const std::string& a, const std::string& b) { return lessNoCase(Find(a)->title, Find(b)->title); };
    for (auto& [key, e] : byKey) {
        std::sort(e.topics.begin(), e.topics.end(), byTitle);
        out.push_back(std::move(e));
    }
    std::sort(out.begin(), out.end(),
              [](const HelpIndexEntry& a, const HelpIndexEntry& b) { return lessNoCase(a.keyword, b.keyword); });
    return out;
}

std::vector<std::string> HelpFile::Lookup(std::string_view keyword) const {
    const std::string wanted = trim(keyword);
    for (HelpIndexEntry& e : Index())
        if (sameNoCase(e.keyword, wanted)) return std::move(e.topics);
    return {};
}

std::vector<std::string> HelpFile::Search(std::string_view query) const {
    const std::vector<std::string> words = splitWords(query);
    if (words.empty()) return {};
    std::vector<const HelpPage*> found;
    for (const HelpPage& p : pages_) {
        const bool all = std::all_of(words.begin(), words.end(),
                                     [&p](const std::string& w) { return p.words.find(" " + w) != std::string::npos; });
        if (all) found.push_back(&p);
    }
    std::sort(found.begin(), found.end(), [](const HelpPage* a, const HelpPage* b) { return lessNoCase(a->title, b->title); });
    std::vector<std::string> out;
    for (const HelpPage* p : found) out.push_back(p->topic);
    return out;
}

void RegisterHelpPage(std::string_view file, std::string_view topic, std::string_view html) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    auto& slot = r.files[lower(file)];
    // Readers keep the snapshot they were given: a page added later makes a new one.
    auto next = std::make_shared<HelpFile>(slot ? *slot : HelpFile(std::string(file)));
    next->Add(topic, html);
    slot = std::move(next);
}

std::shared_ptr<const HelpFile> FindHelpFile(std::string_view file) {
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = r.files.find(lower(file));
    return it == r.files.end() ? nullptr : it->second;
}

}  // namespace wnd
