#include "platform/qt/page_setup_choices.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QRadioButton>

namespace qtp {
namespace {

template <class W>
W* box(const QPageSetupDialog& dialog, const char* name) {
    return dialog.findChild<W*>(QLatin1StringView(name));
}

}  // namespace

std::optional<QPageLayout> ChosenPageLayout(const QPageSetupDialog& dialog) {
    auto* sizes = box<QComboBox>(dialog, "pageSizeCombo");
    auto* units = box<QComboBox>(dialog, "unitCombo");
    auto* width = box<QDoubleSpinBox>(dialog, "pageWidth");
    auto* height = box<QDoubleSpinBox>(dialog, "pageHeight");
    auto* landscape = box<QRadioButton>(dialog, "landscape");
    auto* reverseLandscape = box<QRadioButton>(dialog, "reverseLandscape");
    auto* top = box<QDoubleSpinBox>(dialog, "topMargin");
    auto* left = box<QDoubleSpinBox>(dialog, "leftMargin");
    auto* right = box<QDoubleSpinBox>(dialog, "rightMargin");
    auto* bottom = box<QDoubleSpinBox>(dialog, "bottomMargin");
    if (!sizes || !units || !width || !height || !landscape || !top || !left || !right || !bottom) return std::nullopt;

    const QVariant unitData = units->currentData();
    if (!unitData.isValid()) return std::nullopt;
    const auto unit = static_cast<QPageLayout::Unit>(unitData.toInt());
    // A named paper carries its size; the custom entry carries none and takes the boxes' size,
    // which show it as it stands in the chosen orientation.
    const bool turned = landscape->isChecked() || (reverseLandscape && reverseLandscape->isChecked());
    QPageSize size = sizes->currentData().value<QPageSize>();
    if (!size.isValid()) {
        QSizeF custom(width->value(), height->value());
        if (turned) custom.transpose();
        size = QPageSize(custom, static_cast<QPageSize::Unit>(unit), QString(), QPageSize::FuzzyMatch);
    }
    if (!size.isValid()) return std::nullopt;
    QPageLayout layout(size, turned ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(left->value(), top->value(), right->value(), bottom->value()), unit);
    if (!layout.isValid()) return std::nullopt;
    return layout;
}

}  // namespace qtp
