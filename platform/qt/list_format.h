#pragma once
// The Qt presenter draws list boxes from the window layer's column format.
#include "platform/window/list_format.h"

namespace qtp {

using wnd::FormatListFormat;
using wnd::ListColumn;
using wnd::ParseListFormat;

}  // namespace qtp
