#pragma once
// What the user chose in a page set-up dialog, read from the dialog itself.
//
// On Unix the dialog writes its choices into its printer only from inside exec(), which runs a
// nested event loop and makes the dialog application-modal: every window of every thread would
// wait, and the presenter's queued calls would run inside the loop. The presenter shows the dialog
// without blocking, so on OK it reads the paper, orientation and margins from the dialog's own
// boxes instead.
#include <optional>

class QPageLayout;
class QPageSetupDialog;

namespace qtp {

// The page layout the dialog's boxes show, or nothing when the dialog lacks one of its boxes.
std::optional<QPageLayout> ChosenPageLayout(const QPageSetupDialog& dialog);

}  // namespace qtp
