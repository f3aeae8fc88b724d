// The stock push buttons (OK, Cancel, Help …): what each one does in a dialog and its picture.
#pragma once

#include <QImage>

enum TBitBtnKind {
    bkCustom,
    bkOK,
    bkCancel,
    bkHelp,
    bkYes,
    bkNo,
    bkClose,
    bkAbort,
    bkRetry,
    bkIgnore,
    bkAll
};

// The results a button gives its dialog; the dialog's exec() returns them.
enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 12,
};

struct TBitBtnKindWerte
{
    bool Default;
    bool Cancel;
    int ModalResult;
};

TBitBtnKindWerte kindWerte(TBitBtnKind kind);

// The picture of a stock button: two cells side by side, up and disabled, 18 pixels square
// (bkAll 19 high). Drawn on first use and kept for the rest of the run; empty for bkCustom.
const QImage &kindGlyph(TBitBtnKind kind);
