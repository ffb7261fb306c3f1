#pragma once
// The help viewer: one window per help file, beside the program's windows and never modal. A pane
// of contents, index and search on the left, the page on the right; links between pages follow
// within the viewer, links to web sites open in the browser. GUI thread only.
#include <QStringList>
#include <QWidget>

#include <memory>

#include "platform/window/help_file.h"
#include "platform/window/presenter.h"

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTreeWidget;

namespace qtp {

class HelpBrowser;

class HelpViewer final : public QWidget {
public:
    // `file` may be null: the viewer then says the help file cannot be found.
    HelpViewer(QString fileName, std::shared_ptr<const wnd::HelpFile> file);
    ~HelpViewer() override;

    // Acts on a request for its file and comes to the front.
    void Show(const wnd::HelpRequest& request);

    // What a test looks at.
    QString CurrentTopic() const;  // the page shown; "" when none is
    QString CurrentText() const;   // its text as shown
    int CurrentPane() const;       // 0 contents, 1 index, 2 search
    QString IndexKeyword() const;  // what the index's entry holds
    QString MarkedContents() const;  // the topic the contents marks as shown; "" none
    QStringList Search(const QString& words);  // runs the search pane's query; the topics found
    void FollowLink(const QString& href);      // as a click on a link of the page

    static constexpr int kContentsPane = 0, kIndexPane = 1, kSearchPane = 2;

private:
    void ShowTopic(const QString& topic);
    void ShowIndexAt(const QString& keyword);
    void FillContents();
    // The contents marks the page shown, when it lists it.
    void MarkContents(const QString& shown);
    void FillIndex();

    QString fileName_;
    std::shared_ptr<const wnd::HelpFile> file_;
    QTabWidget* panes_ = nullptr;
    QListWidget* contents_ = nullptr;
    QLineEdit* indexEntry_ = nullptr;
    QTreeWidget* index_ = nullptr;
    QLineEdit* searchEntry_ = nullptr;
    QListWidget* results_ = nullptr;
    HelpBrowser* browser_ = nullptr;
};

}  // namespace qtp
