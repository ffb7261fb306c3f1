#include "platform/qt/help_viewer.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <string>

namespace qtp {
namespace {

constexpr int kTopicRole = Qt::UserRole;

QString q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string u(const QString& s) { return s.toUtf8().toStdString(); }

// A page's topic as a relative address, so that links between pages resolve against it.
QUrl topicUrl(const QString& topic) {
    QUrl url;
    url.setPath(topic);
    return url;
}

QString topicOf(const QUrl& url) { return url.path(QUrl::FullyDecoded).section('/', -1); }

QString notFoundPage(const QString& what) {
    return QStringLiteral("<html><body><h2>Page not found</h2><p>The help has no page named \"%1\".</p></body></html>")
        .arg(what.toHtmlEscaped());
}

}  // namespace

// Pages come from the help file, never from the disk; a web address opens in the browser.
class HelpBrowser final : public QTextBrowser {
public:
    HelpBrowser(std::shared_ptr<const wnd::HelpFile> file, QWidget* parent) : QTextBrowser(parent), file_(std::move(file)) {
        setOpenLinks(true);
        setOpenExternalLinks(true);
    }

    QVariant loadResource(int type, const QUrl& name) override {
        if (type != QTextDocument::HtmlResource) return {};  // the pages hold no pictures or style sheets
        const QString topic = topicOf(name);
        if (file_)
            if (const wnd::HelpPage* p = file_->Find(u(topic))) return q(p->html);
        return notFoundPage(topic);
    }

private:
    std::shared_ptr<const wnd::HelpFile> file_;
};

HelpViewer::HelpViewer(QString fileName, std::shared_ptr<const wnd::HelpFile> file)
    : QWidget(nullptr, Qt::Window), fileName_(std::move(fileName)), file_(std::move(file)) {
    const wnd::HelpPage* contents = file_ ? file_->Contents() : nullptr;
    setWindowTitle(contents ? q(contents->title) : fileName_);
    resize(780, 540);

    auto* split = new QSplitter(this);
    panes_ = new QTabWidget(split);

    contents_ = new QListWidget;
    panes_->addTab(contents_, tr("Contents"));

    auto* indexPage = new QWidget;
    auto* indexLayout = new QVBoxLayout(indexPage);
    indexLayout->addWidget(new QLabel(tr("Type in the keyword to find:"), indexPage));
    indexEntry_ = new QLineEdit(indexPage);
    indexLayout->addWidget(indexEntry_);
    index_ = new QTreeWidget(indexPage);
    index_->setHeaderHidden(true);
    index_->setRootIsDecorated(false);
    indexLayout->addWidget(index_);
    panes_->addTab(indexPage, tr("Index"));

    auto* searchPage = new QWidget;
    auto* searchLayout = new QVBoxLayout(searchPage);
    searchLayout->addWidget(new QLabel(tr("Type in the word(s) to search for:"), searchPage));
    searchEntry_ = new QLineEdit(searchPage);
    searchLayout->addWidget(searchEntry_);
    auto* list = new QPushButton(tr("&List Topics"), searchPage);
    searchLayout->addWidget(list);
    results_ = new QListWidget(searchPage);
    searchLayout->addWidget(results_);
    panes_->addTab(searchPage, tr("Search"));

    auto* right = new QWidget(split);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    auto* back = new QPushButton(tr("&Back"), right);
    auto* forward = new QPushButton(tr("&Forward"), right);
    auto* home = new QPushButton(tr("&Home"), right);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(home);
    buttons->addStretch();
    rightLayout->addLayout(buttons);
    browser_ = new HelpBrowser(file_, right);
    rightLayout->addWidget(browser_);
    split->setStretchFactor(1, 3);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(split);

    back->setEnabled(false);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(home, &QPushButton::clicked, this, [this] { ShowTopic(QString()); });

    auto open = [this](const QVariant& topic) {
        if (topic.isValid()) ShowTopic(topic.toString());
    };
    connect(contents_, &QListWidget::itemActivated, this, [open](QListWidgetItem* i) { open(i->data(kTopicRole)); });
    connect(contents_, &QListWidget::itemClicked, this, [open](QListWidgetItem* i) { open(i->data(kTopicRole)); });
    connect(results_, &QListWidget::itemActivated, this, [open](QListWidgetItem* i) { open(i->data(kTopicRole)); });
    connect(results_, &QListWidget::itemClicked, this, [open](QListWidgetItem* i) { open(i->data(kTopicRole)); });
    auto openIndex = [open](QTreeWidgetItem* i) {
        if (i->childCount() > 0) i->setExpanded(true);  // several pages: the user picks one
        else open(i->data(0, kTopicRole));
    };
    connect(index_, &QTreeWidget::itemActivated, this, [openIndex](QTreeWidgetItem* i, int) { openIndex(i); });
    connect(index_, &QTreeWidget::itemClicked, this, [openIndex](QTreeWidgetItem* i, int) { openIndex(i); });
    connect(indexEntry_, &QLineEdit::textEdited, this, [this](const QString& text) { ShowIndexAt(text); });
    connect(indexEntry_, &QLineEdit::returnPressed, this, [this, openIndex] {
        if (QTreeWidgetItem* i = index_->currentItem()) openIndex(i);
    });
    connect(searchEntry_, &QLineEdit::returnPressed, this, [this] { Search(searchEntry_->text()); });
    connect(list, &QPushButton::clicked, this, [this] { Search(searchEntry_->text()); });

    FillContents();
    FillIndex();
    // The page's address comes with the signal: the browser may not yet answer it as its source.
    connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) { MarkContents(topicOf(url)); });
}

void HelpViewer::MarkContents(const QString& shown) {
    QListWidgetItem* marked = nullptr;
    for (int i = 0; i < contents_->count(); ++i) {
        QListWidgetItem* item = contents_->item(i);
        const bool here = !shown.isEmpty() && item->data(kTopicRole).toString().compare(shown, Qt::CaseInsensitive) == 0;
        QFont font = contents_->font();
        font.setBold(here);  // plain to see while the list has no focus, when its selection is pale
        item->setFont(font);
        if (here && !marked) marked = item;
    }
    if (marked) {
        contents_->setCurrentItem(marked);
        contents_->scrollToItem(marked);
    } else {
        contents_->clearSelection();
        contents_->setCurrentItem(nullptr);
    }
}

QString HelpViewer::MarkedContents() const {
    const QListWidgetItem* item = contents_->currentItem();
    return item && item->isSelected() ? item->data(kTopicRole).toString() : QString();
}

HelpViewer::~HelpViewer() = default;

void HelpViewer::FillContents() {
    if (!file_) return;
    const wnd::HelpPage* contents = file_->Contents();
    if (!contents) return;
    auto* top = new QListWidgetItem(q(contents->title), contents_);
    top->setData(kTopicRole, q(contents->topic));
    // The table of contents lists the pages its page links to, in its order.
    static const QRegularExpression href(QStringLiteral("href\\s*=\\s*\"([^\"#]+)"), QRegularExpression::CaseInsensitiveOption);
    QStringList seen{q(contents->topic).toLower()};
    for (auto it = href.globalMatch(q(contents->html)); it.hasNext();) {
        const QUrl url(it.next().captured(1));
        if (!url.scheme().isEmpty()) continue;  // a web site
        const wnd::HelpPage* p = file_->Find(u(topicOf(url)));
        if (!p || seen.contains(q(p->topic).toLower())) continue;
        seen << q(p->topic).toLower();
        auto* item = new QListWidgetItem(QStringLiteral("    ") + q(p->title), contents_);
        item->setData(kTopicRole, q(p->topic));
    }
}

void HelpViewer::FillIndex() {
    if (!file_) return;
    for (const wnd::HelpIndexEntry& e : file_->Index()) {
        auto* item = new QTreeWidgetItem(index_, QStringList(q(e.keyword)));
        if (e.topics.size() == 1) {
            item->setData(0, kTopicRole, q(e.topics.front()));
            continue;
        }
        for (const std::string& t : e.topics) {
            const wnd::HelpPage* p = file_->Find(t);
            auto* child = new QTreeWidgetItem(item, QStringList(p ? q(p->title) : q(t)));
            child->setData(0, kTopicRole, q(t));
        }
    }
}

void HelpViewer::ShowTopic(const QString& topic) {
    const wnd::HelpPage* contents = file_ ? file_->Contents() : nullptr;
    if (topic.isEmpty() && !contents) {
        browser_->setHtml(
            QStringLiteral("<html><body><h2>Help not found</h2><p>The help file \"%1\" cannot be found.</p></body></html>")
                .arg(fileName_.toHtmlEscaped()));
        return;
    }
    browser_->setSource(topicUrl(topic.isEmpty() ? q(contents->topic) : topic));
}

void HelpViewer::ShowIndexAt(const QString& keyword) {
    for (int i = 0; i < index_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = index_->topLevelItem(i);
        if (item->text(0).startsWith(keyword, Qt::CaseInsensitive)) {
            index_->setCurrentItem(item);
            index_->scrollToItem(item, QAbstractItemView::PositionAtTop);
            return;
        }
    }
}

void HelpViewer::Show(const wnd::HelpRequest& request) {
    using C = wnd::HelpRequest::Command;
    const QString topic = q(request.topic), keyword = q(request.keyword);
    const bool nothingShown = CurrentTopic().isEmpty();
    switch (request.command) {
        case C::Topic: ShowTopic(topic); break;
        case C::Contents:
            panes_->setCurrentIndex(kContentsPane);
            ShowTopic(QString());
            break;
        case C::Index:
            panes_->setCurrentIndex(kIndexPane);
            indexEntry_->setText(keyword);
            if (!keyword.isEmpty()) ShowIndexAt(keyword);
            if (nothingShown) ShowTopic(QString());
            break;
        case C::Search:
            panes_->setCurrentIndex(kSearchPane);
            searchEntry_->setFocus();
            if (nothingShown) ShowTopic(QString());
            break;
        case C::Keyword: {
            const auto topics = file_ ? file_->Lookup(request.keyword) : std::vector<std::string>{};
            if (topics.size() == 1) {
                ShowTopic(q(topics.front()));
                break;
            }
            // Several pages, or none: the index at the keyword; none falls back on the given page.
            panes_->setCurrentIndex(kIndexPane);
            indexEntry_->setText(keyword);
            ShowIndexAt(keyword);
            if (!topics.empty()) ShowTopic(q(topics.front()));
            else if (!topic.isEmpty() || nothingShown) ShowTopic(topic);
            break;
        }
    }
    show();
    raise();
    activateWindow();
}

QString HelpViewer::CurrentTopic() const { return topicOf(browser_->source()); }
QString HelpViewer::CurrentText() const { return browser_->toPlainText(); }
int HelpViewer::CurrentPane() const { return panes_->currentIndex(); }
QString HelpViewer::IndexKeyword() const {
    const QTreeWidgetItem* item = index_->currentItem();
    return item ? item->text(0) : QString();
}

QStringList HelpViewer::Search(const QString& words) {
    searchEntry_->setText(words);
    results_->clear();
    QStringList found;
    if (!file_) return found;
    for (const std::string& t : file_->Search(u(words))) {
        const wnd::HelpPage* p = file_->Find(t);
        auto* item = new QListWidgetItem(p ? q(p->title) : q(t), results_);
        item->setData(kTopicRole, q(t));
        found << q(t);
    }
    if (found.isEmpty()) new QListWidgetItem(tr("No topics found."), results_);
    return found;
}

void HelpViewer::FollowLink(const QString& href) {
    const QUrl url = browser_->source().resolved(QUrl(href));
    if (url.scheme().isEmpty()) browser_->setSource(url);
    else QDesktopServices::openUrl(url);
}

}  // namespace qtp
