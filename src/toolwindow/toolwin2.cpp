#include "toolwindow/toolwin2.h"

#include "app/sitzung.h"
#include "app/speicherabgabe.h"
#include "controls/einpassen.h"
#include "controls/meldungen.h"
#include "surface/capture.h"
#include "surface/mauszeiger.h"
#include "surface/portal.h"
#include "surface/scrwin.h"
#include "surface/taste.h"
#include "toolwindow/einfrieren.h"
#include "toolwindow/einfrierhinweise.h"
#include "toolwindow/menutabelle.h"
#include "toolwindow/ruhe.h"
#include "toolwindow/schattenfrei.h"
#include "toolwindow/tastaturfokus.h"
#include "toolwindow/toolicons.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <algorithm>

TToolForm *ToolForm = nullptr;
TScreenForm *ScreenForm = nullptr;

namespace {

// Arial 9 points at 96 dpi.
QFont startSchrift()
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(12);
    return f;
}

} // namespace

TToolForm::TToolForm(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Skizzomat"));
    Bildquelle = bildschirmAufnehmen;
    portalHinweisSetzen(frageHinweisZeigen);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    ohneSchattenZeigen(this);

    StartFertigBtn = new QPushButton(this);
    StartFertigBtn->setObjectName(QStringLiteral("StartFertigBtn"));
    StartFertigBtn->setFont(startSchrift());
    StartFertigBtn->setDefault(true);
    connect(StartFertigBtn, &QPushButton::clicked, this, &TToolForm::StartFertigBtnClick);

    StartFertig1 = new QAction(this);
    connect(StartFertig1, &QAction::triggered, this, &TToolForm::StartFertigBtnClick);

    ToolBar1 = new QWidget(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    erzeugeWerkzeugleiste();
    erzeugeKontextmenue();
    verbindeWahlen();
    verbindeBefehle();
    verbindeAusgabe();
    verbindeBlaetter();
    verbindeEmail();

    Ruhe = new TRuhe(this);
    monitoreBeobachten();

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(250);
    connect(Timer1, &QTimer::timeout, this, &TToolForm::Timer1Timer);

    // FormCreate, in its order.
    Start = true;
    m_masse = toolWindowMetrics(25, 24);
    setFixedWidth(m_masse.ClientWidth);
    FensterEinklappen();
    MauszeigerRegistrieren();
    Modus = 1;
    VorZoomModus = 1;
    LupeFak = 2;
    ZoomfakNr = 2;
    ZoomFak = ZoomTabelle[2];
    BereichRect = KeinBereich;
    SetToolWindowSize();
}

void TToolForm::erzeugeWerkzeugleiste()
{
    DickeGruppe = new QActionGroup(this);
    FarbGruppe = new QActionGroup(this);
    WerkzeugGruppe = new QActionGroup(this);
    for (const ToolBarButton &b : ToolBarButtons) {
        const QString name = QString::fromLatin1(b.Name);
        const MenuEintrag *eintrag = menuEintragFuerButton(b.Name);
        auto *action =
            new QAction(toolIcon(name), QString::fromUtf8(eintrag ? eintrag->Caption : b.Hint), this);
        action->setToolTip(QString::fromUtf8(b.Hint));
        QActionGroup *gruppe = nullptr;
        if (b.Row <= 2)
            gruppe = DickeGruppe;
        else if (b.Row <= 7)
            gruppe = FarbGruppe;
        else if (b.Row <= 14 || name == QLatin1String("ZoomInBtn"))
            gruppe = WerkzeugGruppe;
        if (gruppe) {
            action->setCheckable(true);
            gruppe->addAction(action);
        }
        auto *button = new QToolButton(ToolBar1);
        button->setObjectName(name);
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        Buttons.insert(name, button);
        Aktionen.insert(name, action);
    }
}

void TToolForm::erzeugeKontextmenue()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QMenu *menu = PopupMenu1;
    for (const MenuEintrag &e : PopupMenuEintraege) {
        switch (e.Typ) {
        case MenuEintrag::Trenner:
            menu->addSeparator();
            continue;
        case MenuEintrag::UntermenueAnfang:
            menu = PopupMenu1->addMenu(QString::fromUtf8(e.Caption));
            menu->menuAction()->setObjectName(QString::fromLatin1(e.Name));
            continue;
        case MenuEintrag::UntermenueEnde:
            menu = PopupMenu1;
            continue;
        case MenuEintrag::Befehl:
            break;
        }
        const QString name = QString::fromLatin1(e.Name);
        QAction *action = name == QLatin1String("StartFertig1") ? StartFertig1
                          : e.Button ? Aktionen.value(QString::fromLatin1(e.Button))
                                     : new QAction(QString::fromUtf8(e.Caption), this);
        action->setObjectName(name);
        if (name == QLatin1String("Hineinzoomen1"))
            action->setIcon(toolIcon(QStringLiteral("ZoomInBtn")));
        // The divide key of the numeric keypad, not the slash of the main keyboard.
        action->setShortcut(
            name == QLatin1String("Herauszoomen1")
                ? QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Slash))
                : QKeySequence(QString::fromLatin1(e.Shortcut)));
        action->setShortcutContext(Qt::WindowShortcut);
        // Tool window and drawing surface share the menu and its shortcuts.
        addAction(action);
        Aktionen.insert(name, action);
        menu->addAction(action);
    }
}

void TToolForm::SetToolWindowSize()
{
    // After the first activation the window is where the user left it.
    if (!Start)
        ortAbgleichen();
    m_masse = toolWindowMetrics(Cfg.WerkzeugGroesseX, Cfg.WerkzeugGroesseY);
    const ToolWindowMetrics &m = m_masse;
    const int icon = std::max(8, std::min(m.ButtonWidth, m.ButtonHeight) - 6);
    for (const ToolBarButton &b : ToolBarButtons) {
        QToolButton *button = Buttons.value(QString::fromLatin1(b.Name));
        button->setGeometry(b.Column * m.ButtonWidth, toolBarRowTop(b.Row, m.ButtonHeight), m.ButtonWidth,
                            m.ButtonHeight);
        button->setIconSize(QSize(icon, icon));
    }
    ToolBar1->setGeometry(1, m.ToolBarTop, m.ToolBarWidth, m.ToolBarHeight);
    StartFertigBtn->setGeometry(0, 0, m.ClientWidth, m.StartButtonHeight);
    setFixedWidth(m.ClientWidth);
    if (WinZustand == 1)
        FensterAusklappen();
    else
        FensterEinklappen();
    // A larger window keeps its place where it fits, and moves only as far as it must.
    platzAnwenden();
}

void TToolForm::FensterEinklappen()
{
    setFixedHeight(m_masse.CollapsedHeight);
    WinZustand = 0;
    SetStartFertigText();
}

void TToolForm::FensterAusklappen()
{
    setFixedHeight(m_masse.ExpandedHeight);
    WinZustand = 1;
    SetStartFertigText();
}

void TToolForm::SetStartFertigText()
{
    // A translated caption gets a smaller font where the button is too narrow for it; every
    // resize comes through here.
    beschriftungEinpassen(StartFertigBtn, StartCaptions.value(WinZustand), startSchrift());
    StartFertigBtn->setToolTip(StartHints.value(WinZustand));
    StartFertig1->setText(StartFertigBtn->text());
}

bool TToolForm::event(QEvent *e)
{
    const bool handled = QWidget::event(e);
    // Before the window is mapped: shown at its place at once, its frame counted.
    if (Start && e->type() == QEvent::Show && !e->spontaneous())
        platzAnwenden();
    // Without a window manager the tool window may never be activated; its first showing then
    // stands in for the first activation.
    // The pointer on its way to Start.
    if (e->type() == QEvent::Enter)
        EinfrierenVorbereiten();
    if (Start && (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show))
        QTimer::singleShot(0, this, [this] {
            if (Start)
                FormActivate();
        });
    return handled;
}

void TToolForm::FormActivate()
{
    if (!Start)
        return;
    EinstellungenLaden();
    SetToolWindowSize();
    WerkzeugZustandSetzen();
    setzeImmerOben();
    UebersetzungLaden();
    if (ScreenForm)
        ScreenForm->AuswahlBereichZeigen();
    // The question runs an event loop, in which the first activation must not run again.
    Start = false;
    emit gestartet();
    // Before the automatic freeze, which must not take the question into its picture.
    EmailFruehereAnbieten();
    if (Cfg.AutoOpen || m_einfrierenNachStart)
        Timer1->start();
    else
        QTimer::singleShot(0, this, &TToolForm::EinfrierenVorbereiten);
}

void TToolForm::Timer1Timer()
{
    Timer1->stop();
    QCoreApplication::processEvents();
    StartFertigBtnClick();
}

void TToolForm::contextMenuEvent(QContextMenuEvent *e)
{
    PopupMenu1->popup(e->globalPos());
}

void TToolForm::keyPressEvent(QKeyEvent *e)
{
    // The Start/Fertig button is the window's default and cancel button.
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        if (e->modifiers() & ~Qt::KeypadModifier) {
            QWidget::keyPressEvent(e);
            return;
        }
        StartFertigBtn->click();
        return;
    default:
        FormKeyDown(tasteAus(e, true));
        QWidget::keyPressEvent(e);
    }
}

void TToolForm::StartFertigBtnClick()
{
    // The capture waits with the event loop running; a second command meanwhile is dropped.
    if (m_einfrierenLaeuft)
        return;
    switch (WinZustand) {
    case 0:
        ortAbgleichen();
        Ruhe->aufwachen();
        m_tastaturVorher = fensterMitTastatur();
        if (!BildschirmEinfrieren())
            return;
        raise();
        activateWindow();
        FensterAusklappen();
        // Moved up as far as needed for every button to stay on the monitor.
        platzAnwenden();
        break;
    case 1:
        // The picture stays for the output commands after the release: a tool marker or a
        // figure's preview inverted into it, or text still in its entry, is settled first.
        CheckPanels();
        // Moved while unfolded, the window stays where the user put it; otherwise it goes back.
        ortAbgleichen();
        // A picture that could not be kept stays frozen, with its drawing.
        if (Cfg.AutoScreenshot && !AutoScreenshotAblegen())
            return;
        if (Cfg.AutoClose) {
            if (close())
                tastaturZurueckgeben(m_tastaturVorher);
            return;
        }
        WinZustand = 2;
        if (ScreenForm && ScreenForm->isVisible())
            ScreenForm->close();
        if (ScreenForm)
            bilderFreigeben(*this, *ScreenForm);
        bildschirmSpeicherFreigeben();
        SpeicherZurueckgeben();
        Ruhe->ausruhen(ScreenForm);
        FensterEinklappen();
        wiederVerwaltet();
        platzAnwenden();
        tastaturZurueckgeben(m_tastaturVorher);
        emit freigegeben();
        break;
    default:
        return;
    }
    setzeImmerOben();
}

void TToolForm::EinfrierenVorbereiten()
{
    if (WinZustand == 0 && !m_einfrierenLaeuft)
        Ruhe->vorwaermen(einzufrierenderMonitor(), ScreenForm);
}

void TToolForm::Umschalten()
{
    if (Start) {
        m_einfrierenNachStart = true;
        return;
    }
    if (QApplication::activeModalWidget())
        return;
    // An open menu holds the pointer and the keyboard; F9 in it would close it as well.
    if (QWidget *menu = QApplication::activePopupWidget())
        menu->close();
    StartFertigBtnClick();
}

QScreen *TToolForm::einzufrierenderMonitor() const
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return nullptr;
    QScreen *eigener = QGuiApplication::screenAt(frameGeometry().center());
    if (!eigener)
        eigener = screen();
    const int index =
        monitorWahl(Cfg.MonitorMode, int(screens.size()), std::max(0, int(screens.indexOf(eigener))));
    return screens.value(index, screens.first());
}

void TToolForm::warteMitNachrichten(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    QCoreApplication::processEvents();
    loop.exec();
}

bool TToolForm::BildschirmEinfrieren()
{
    QScreen *monitor = einzufrierenderMonitor();
    m_einfrierenLaeuft = true;
    // The tool window must not be part of the picture. Unmapped, it loses its frame; shown
    // again it goes back to where its client area was, not down by the frame's size.
    const QRect platz = geometry();
    if (monitor) {
        bildschirmLesenVorbereiten(monitor);
        ScreenForm->zeigenVorbereiten(monitor->geometry());
    }
    hide();
    warteMitNachrichten(50);
    // The last session's picture stays until the new one is there: if the screen cannot be
    // read, the last drawing can still be saved or copied.
    const Bildaufnahme aufnahme = monitor ? Bildquelle(monitor) : Bildaufnahme();
    const QImage &bild = aufnahme.bild;
    m_einfrierenLaeuft = false;
    if (bild.isNull()) {
        show();
        setGeometry(platz);
        zeigeFehlerNeben(this, QStringLiteral("Der Bildschirm kann nicht gelesen werden. ") +
                                   (aufnahme.fehler.isEmpty()
                                        ? QStringLiteral("Skizzomat braucht dafür eine X11-Sitzung.")
                                        : aufnahme.fehler));
        return false;
    }
    // Before the picture covers the monitor, where nothing hides the box.
    if (!aufnahme.hinweis.isEmpty())
        zeigeInformation(this, aufnahme.hinweis);
    bildUebernehmen(*this, *ScreenForm, bild, aufnahme.zeichnung);
    ScreenForm->FormShow();
    ScreenForm->zeigeAuf(monitor->geometry());
    // Transient for the surface: a window manager keeps the tool window above it even where
    // it lifts the surface to a higher layer (a focused borderless window that fills the
    // monitor counts as full-screen). The relation is read when the tool window is mapped, so
    // the surface must be mapped first; a window manager ignores it for an unknown window.
    if (waylandSitzung()) {
        ueberDerFlaeche(monitor->geometry());
    } else {
        if (QWindow *w = windowHandle())
            w->setTransientParent(ScreenForm->windowHandle());
        show();
        setGeometry(platz);
    }
    emit eingefroren();
    return true;
}

void TToolForm::ueberDerFlaeche(const QRect &monitor)
{
    // A Wayland compositor shows XWayland's managed windows below a full-screen one and gives
    // them its own size and place (sway makes a floating window at least 75 × 50 and centres
    // it, whatever the size hints say). Unmanaged while the picture is frozen, the tool window
    // keeps its size and stays in the monitor's top-right corner above the surface; the
    // surface has the keyboard and shares the tool window's shortcuts.
    setWindowFlag(Qt::X11BypassWindowManagerHint, true);
    // Placed by its client area: the frame it had while managed is gone.
    setGeometry(QRect(QPoint(monitor.right() + 1 - m_masse.ClientWidth, monitor.top()), size()));
    show();
}

void TToolForm::wiederVerwaltet()
{
    if (!windowFlags().testFlag(Qt::X11BypassWindowManagerHint))
        return;
    hide();
    setWindowFlag(Qt::X11BypassWindowManagerHint, false);
    show();
}

void TToolForm::setzeImmerOben()
{
    raise();
}

void TToolForm::closeEvent(QCloseEvent *e)
{
    // The e-mail pictures of this run come first; "Abbrechen" keeps everything as it is.
    if (!EmailAufraeumen()) {
        e->ignore();
        return;
    }
    AuswahlBmp = QImage();
    OrigScrBmp = QImage();
    OrigScrStartBmp = QImage();
    BackupBmp = QImage();
    BackupOrigScrBmp = QImage();
    if (Modus == 15)
        Modus = 1;
    EinstellungenSpeichern();
    e->accept();
    if (ScreenForm)
        ScreenForm->hide();
    QCoreApplication::quit();
}
