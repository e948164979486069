#pragma once

// Where the codes viewer's controls go for a given client size. Pure arithmetic in twips, so the
// figures can be checked without a window.

namespace cantora {

struct TwipsBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct CodesLayout {
    TwipsBox txtCodes;
    TwipsBox btnCopy;
    TwipsBox btnDone;
    TwipsBox cmdSaveAs;
    TwipsBox cmdCopyC;
};

// Fixed button sizes, in twips.
constexpr int kCopyWidth = 1695;
constexpr int kCopyHeight = 435;
constexpr int kDoneWidth = 1155;
constexpr int kDoneHeight = 435;
constexpr int kExportWidth = 1155;
constexpr int kExportHeight = 435;

// The text box fills the width from the top-left corner down to the button row; the buttons sit
// 60 twips above the bottom edge, "Done" 60 twips from the right, "Copy to Clipboard" to its
// left with a 60-twip gap. A window too small for the row still gets a text box of height 1, and
// buttons may then stand partly outside the client area. "Save As…" and, left of it, "Copy as
// C" continue the row leftwards with the same 60-twip gaps.
CodesLayout ComputeCodesLayout(int widthTwips, int heightTwips);

}  // namespace cantora
