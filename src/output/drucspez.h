// Putting a picture on a printed page at a place and size in tenths of a millimetre.
#pragma once

#include <QImage>
#include <QRect>

class QPainter;
class QPrinter;

// Sets up the painter of a print job so that one unit is 0.1 mm in both directions, the origin
// is the top-left corner of the printable area (rounded to whole units from the paper edge) and
// y grows downward.
void MetrischAbbilden(QPainter &p, const QPrinter &drucker);

// Turns the margins l and t, in 0.1 mm from the paper edge, into the distances from the edge of
// the printer's printable area (at least 0).
void RaenderKorrigieren(const QPrinter &drucker, qint32 &l, qint32 &t);

// Stretches the whole bitmap into `rect` (0.1 mm): every pixel becomes a sharp-edged block,
// with no smoothing between pixels or against the page at the picture's edges.
void BitmapDrucken(QPainter &p, const QRect &rect, const QImage &bmp);

// The part of the paper the printer prints on, in 0.1 mm from the paper edge.
QRect bedruckbarerBereich(const QPrinter &drucker);

// Ends the print command; the error display shows the text.
[[noreturn]] void druckfehler(const QString &text);

// One page with `bmp` stretched to w × h at l, t (0.1 mm, margins from the paper edge), sent to
// the printer as a job without a title. Throws std::runtime_error with the printing system's
// message when there is no printer or the job cannot be started or is refused.
void SeiteDrucken(QPrinter &drucker, qint32 l, qint32 t, qint32 w, qint32 h, const QImage &bmp);
