#include "core/codes/viewer_layout.h"

namespace cantora {

CodesLayout ComputeCodesLayout(int widthTwips, int heightTwips) {
    CodesLayout layout;
    int textHeight = heightTwips - (kDoneHeight + 120);
    if (textHeight < 0) {
        textHeight = 1;
    }
    layout.txtCodes = {0, 0, widthTwips, textHeight};
    layout.btnDone = {widthTwips - kDoneWidth - 60, heightTwips - kDoneHeight - 60, kDoneWidth,
                      kDoneHeight};
    layout.btnCopy = {widthTwips - (kCopyWidth + kDoneWidth + 120), heightTwips - kCopyHeight - 60,
                      kCopyWidth, kCopyHeight};
    const int rowTop = heightTwips - kExportHeight - 60;
    layout.cmdSaveAs = {layout.btnCopy.left - 60 - kExportWidth, rowTop, kExportWidth,
                        kExportHeight};
    layout.cmdCopyC = {layout.cmdSaveAs.left - 60 - kExportWidth, rowTop, kExportWidth,
                       kExportHeight};
    return layout;
}

}  // namespace cantora
