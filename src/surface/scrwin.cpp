#include "surface/scrwin.h"

#include "app/sitzung.h"
#include "app/vorbelegen.h"
#include "surface/auswahlmarker.h"
#include "surface/malspeicher.h"
#include "surface/sicherung.h"
#include "surface/steuerung.h"
#include "surface/zoomanzeige.h"

#include <QBackingStore>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>
#include <QWindow>

TScreenForm::TScreenForm(TSteuerung &steuerung, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_steuerung(steuerung)
{
    setWindowTitle(QStringLiteral("Skizzomat"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    Img1 = new TBildAnzeige(&Img1Bmp, this);
    Img1->setObjectName(QStringLiteral("Img1"));
    Img2 = new TZoomAnzeige(&Img1Bmp, this);
    Img2->setObjectName(QStringLiteral("Img2"));
    Img2->hide();
    // Hovering moves the tool marker, so the images want moves without a button too.
    for (TBildAnzeige *img : {Img1, static_cast<TBildAnzeige *>(Img2)}) {
        img->setMouseTracking(true);
        img->installEventFilter(this);
    }
    erzeugeUeberlagerungen();
    erzeugeAnsichtsteile();
    // The backing store may be made ready at rest, its pages still being written when the
    // program ends; the application's end destroys it with the window, before this object.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &TScreenForm::vorbereitungAbwarten);
    m_hintergrundFrei = new QTimer(this);
    m_hintergrundFrei->setSingleShot(true);
    // KWin may map the window's frame small and enlarge it a moment later; each part that
    // comes into view then is filled from the background, not black, until the program's
    // paint of it arrives. A picture's size in the server's memory for so long.
    m_hintergrundFrei->setInterval(2000);
    connect(m_hintergrundFrei, &QTimer::timeout, this, [this] { m_hintergrund.freigeben(); });
}

TScreenForm::~TScreenForm() = default;

void TScreenForm::vorbereitungAbwarten()
{
    if (m_vorbereitung.joinable())
        m_vorbereitung.join();
}

void TScreenForm::zeigenVorbereiten(const QRect &monitor)
{
    // The backing store keeps its size while the window is hidden; a new one is needed for
    // the first freeze and after a change of monitor. Made by the first paint, its fresh pages
    // would each cost a fault in the middle of it (at 8K on some virtual machines half a
    // second), and the X server would allocate its side in the middle of the freeze; sized
    // and written in idle time or at the freeze, they are ready by the time the picture is.
    // Under Wayland the portal's answer takes far longer than that, and a window created ahead
    // of its full-screen state may be laid out by the compositor as a normal one first.
    if (waylandSitzung())
        return;
    create();
    QBackingStore *store = backingStore();
    if (!store || store->size() == monitor.size())
        return;
    // The writer of the memory before must be done with it before it goes.
    vorbereitungAbwarten();
    m_malSegment = malspeicherGroesseAendern([store, &monitor] { store->resize(monitor.size()); });
    auto *bild = dynamic_cast<QImage *>(store->paintDevice());
    if (!bild || bild->isNull())
        return;
    uchar *bits = bild->bits();
    const size_t bytes = size_t(bild->sizeInBytes());
    m_vorbereitung = std::jthread([bits, bytes] { seitenVorbelegen(bits, bytes); });
}

void TScreenForm::malspeicherVorwaermen()
{
    // In idle time the writer gains nothing by running on: it is waited for here, before the
    // event loop goes on. Left running, the application's end could take the memory from under
    // it (QApplication's destructor destroys every window, also where no aboutToQuit came).
    vorbereitungAbwarten();
    // Only in idle time: at a freeze the X server's time goes to the screen read, which this
    // would only put off.
    if (m_malSegment && backingStore())
        segmentLesenLassen(m_malSegment, backingStore()->size());
    m_malSegment = 0;
}

void TScreenForm::malspeicherFreigeben()
{
    QBackingStore *store = backingStore();
    if (!isHidden() || !store || store->size().width() <= 1)
        return;
    vorbereitungAbwarten();
    m_malSegment = 0;
    // Qt's platform backing store makes a new buffer once the size falls below half the old.
    store->resize(QSize(1, 1));
}

void TScreenForm::zeigeAuf(const QRect &monitor)
{
    vorbereitungAbwarten();
    m_malSegment = 0; // the showing has the X server read it
    m_sicherungNachAnzeige = true;
    setWindowState(Qt::WindowNoState);
    setGeometry(monitor);
    Img1->update();
    if (waylandSitzung()) {
        // XWayland hands a new window to the compositor black until its first paint arrives;
        // with the picture as its background the X server fills it at the map already, and
        // the desktop goes straight over into the frozen picture.
        if (isHidden() && Img1Bmp.size() == monitor.size())
            m_hintergrund.setzen(winId(), Img1Bmp);
        // A Wayland compositor tiles or frames a plain window whatever its geometry; only the
        // full-screen state covers the output exactly. The tool window, unmanaged there,
        // stays above it.
        showFullScreen();
    } else {
        // Not the window manager's full-screen state: that would lift the surface above the
        // tool window. A borderless window of the monitor's size covers it just as well.
        show();
    }
    raise();
}

void TScreenForm::sicherungImVoraus()
{
    // A fresh picture still shares the captured pixels, and the undo backup holds them whole.
    // The first press would have to give the picture its own memory: a full copy into fresh
    // pages, the slow part of such a press at 8K. Made now, while the user looks at the
    // picture, the press then compares only what was drawn since. Only for the untouched
    // picture of this freeze; anything drawn since has taken care of itself.
    ToolState &t = m_steuerung.zustand();
    if (t.WinZustand != 1 || Img1Bmp.isNull() || Img1Bmp.isDetached() ||
        Img1Bmp.cacheKey() != t.BackupBmp.Ganz.cacheKey())
        return;
    sicherungAbgleichen(t, *this);
}

void TScreenForm::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    Img1->setGeometry(rect());
    Img2->setGeometry(rect());
}

void TScreenForm::hintergrundNachAnzeige()
{
    // Painted on the screen: soon the program keeps every pixel itself, and a later exposure
    // must not bring back the bare picture of the freeze.
    if (m_hintergrund.gesetzt() && !m_hintergrundFrei->isActive() && windowHandle() &&
        windowHandle()->isExposed())
        m_hintergrundFrei->start();
}

void TScreenForm::hideEvent(QHideEvent *e)
{
    QWidget::hideEvent(e);
    m_hintergrundFrei->stop();
    m_hintergrund.freigeben();
}

void TScreenForm::closeEvent(QCloseEvent *e)
{
    e->accept();
    // Closed by anything but "Fertig" (the window manager, for instance): the program ends,
    // unless the user keeps it running; then the picture stays as well.
    if (m_steuerung.zustand().WinZustand != 2 && !m_steuerung.fenster().close())
        e->ignore();
}
