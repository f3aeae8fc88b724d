#include "surface/zeigerwahl.h"

ZeigerPaar zeigerFuer(int mauszeigerMode, int modus, TShiftState mausShift)
{
    if (mauszeigerMode == 2)
        return {Zeiger::Keiner, Zeiger::Keiner};
    if (modus == 15)
        return {Zeiger::Pfeil, (mausShift & ssLeft) ? Zeiger::Hand : Zeiger::Pfeil};
    return {Zeiger::Pfeil, Zeiger::Keiner};
}

Zeiger zoomZeiger(int mauszeigerMode, TShiftState shift)
{
    if (mauszeigerMode == 2)
        return Zeiger::Keiner;
    if (shift & ssShift)
        return Zeiger::Pipette;
    if (shift & ssLeft)
        return Zeiger::Hand;
    if (shift & ssCtrl)
        return Zeiger::Keiner;
    return Zeiger::Pfeil;
}
