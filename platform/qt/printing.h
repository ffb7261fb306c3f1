#pragma once
// Printing, on the GUI thread: the print and page set-up dialogs, the print settings they start
// from, and the pages printing on threads of their own.
//
// Every dialog edits a printer of its own, made from the remembered settings, so two dialogs open
// at once (two reports on two threads, or a page set-up beside a print) never share one. An
// accepted print dialog keeps its choices as the settings for the next one and hands its printer
// to the job, once the dialog is gone (so nothing else touches the printer the job prints on); an
// accepted page set-up only changes the settings. A print dialog opens on the paper, orientation
// and margins the page set-up last accepted, and until one was, on the paper its pages were laid
// out for. Each print dialog proposes a file of its own for a print to a file (print_file.h).
#include <QObject>
#include <QPageLayout>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <vector>

class QPrinter;
class QWidget;

namespace wnd {
struct PageSet;
}

namespace qtp {

class PrintJob;

class Printing final : public QObject {
public:
    // Dialogs are transient for `frame` (may be null or go away meanwhile).
    Printing();
    ~Printing() override;  // as End
    Printing(const Printing&) = delete;
    Printing& operator=(const Printing&) = delete;

    void SetFrame(QWidget* frame) { frame_ = frame; }

    // The print dialog for `pages`, over `over`; `answer` (once) gets 1 when the pages were
    // printed, 0 when the dialog was cancelled or printing failed. The answer to an accepted
    // dialog comes when the last page is out. A print to a file is proposed a file in `folder`.
    void AskPrint(std::shared_ptr<const wnd::PageSet> pages, std::vector<int> selection, const QString& folder,
                  const QWidget* over, std::function<void(int)> answer);
    // The page set-up dialog, over `over`.
    void PageSetup(const QWidget* over);

    // Closes the open dialogs (an accepted print still prints) and waits for every print under
    // way, each answered.
    void End();

    // The dialogs on screen, for tests and screenshots.
    std::vector<QWidget*> Dialogs() const;

private:
    struct Ask;
    void DialogGone(const std::shared_ptr<Ask>& ask);
    void StartAccepted();
    void Show(QWidget& dialog, const QWidget* over);

    std::unique_ptr<QPrinter> settings_;  // what the dialogs start from; never printed on
    std::optional<QPageLayout> chosenLayout_;  // the page set-up's last accepted choice
    std::set<QString> proposed_;  // the files proposed to dialogs whose answer has not come yet
    QPointer<QWidget> frame_;
    std::vector<QPointer<QWidget>> dialogs_;
    std::vector<std::shared_ptr<Ask>> accepted_;  // dialogs accepted and gone, their pages not yet printing
    std::vector<std::unique_ptr<PrintJob>> jobs_;
    bool ending_ = false;
};

}  // namespace qtp
