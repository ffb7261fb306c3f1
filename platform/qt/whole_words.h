#pragma once
// Text that wraps only between words: Qt's line breaking would also break after a '/', a '-' or
// a '.', splitting a web address or a folder's path over two lines. Any thread.
#include <QString>

namespace qtp {

// The text with a word joiner (U+2060, drawn as nothing) at every break opportunity that is not
// after white space, so a wrapped line ends only at a space or a line's end; a word wider than
// its line stays whole.
QString KeepWordsWhole(const QString& text);

}  // namespace qtp
