#include "platform/classes/record_loop.h"

#include <algorithm>
#include <string>

namespace cls {

void RecordLoop::Initialise(ViewReader& reader, TableGroup* group, int percentText, ThumbStep* step,
                            const rt::FieldDesc* valueField, std::int32_t* percentile) {
    reader_ = &reader;
    group_ = group;
    PTEXT = percentText;
    STEPMGR = step;
    VALUEFIELD = valueField;
    PERCENTILE = percentile;
    if (PERCENTILE) *PERCENTILE = 0;
    CASESENSITIVEVALUE = 1;
}

int RecordLoop::Rewind() {
    RECORDSPROCESSED = 0;
    files::RecordView& view = reader_->view();
    if (STEPMGR) {
        STEPMGR->Build(view, VALUEFIELD);
    } else {
        std::int64_t count = 0;
        reader_->file().records(&count);
        RECORDSTOPROCESS = static_cast<int>(std::min<std::int64_t>(count, 1 << 30));
    }
    return reader_->Rewind();
}

int RecordLoop::NextRecord() {
    const int e = reader_->FetchNext();
    if (e != 0) return e;
    ++RECORDSPROCESSED;
    int percent = 0;
    if (STEPMGR) percent = STEPMGR->PercentOf(reader_->file().buffer());
    else if (RECORDSTOPROCESS > 0) percent = static_cast<int>(static_cast<std::int64_t>(RECORDSPROCESSED) * 100 / RECORDSTOPROCESS);
    ShowProgress(std::min(percent, 100));
    return 0;
}

void RecordLoop::ShowProgress(int percent) {
    if (!PERCENTILE || *PERCENTILE == percent) return;
    *PERCENTILE = percent;
    if (!window_) return;
    if (PTEXT && window_->Has(PTEXT)) window_->SetText(PTEXT, std::to_string(percent) + "% Complete");
    window_->Display();
}

}  // namespace cls
