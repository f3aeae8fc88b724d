// The tool window: the program's main window and controller. It holds the annotation state,
// freezes a monitor into the drawing surface on "Start" and releases it on "Fertig".
#pragma once

#include "app/data.h"
#include "toolwindow/toolbarlayout.h"

#include <QHash>
#include <QImage>
#include <QStringList>
#include <QWidget>

#include <functional>

class QAction;
class QActionGroup;
class QMenu;
class QPushButton;
class QScreen;
class QTimer;
class QToolButton;

class TToolForm : public QWidget, public ToolState
{
    Q_OBJECT

public:
    explicit TToolForm(QWidget *parent = nullptr); // FormCreate

    QPushButton *StartFertigBtn = nullptr;
    QWidget *ToolBar1 = nullptr;
    QTimer *Timer1 = nullptr;
    QAction *StartFertig1 = nullptr; // the context menu's Start/Fertig item (F9)
    // The context menu of the tool window and the drawing surface.
    QMenu *PopupMenu1 = nullptr;

    // The tool-bar buttons by name ("StiftBtn", …), and their actions by the button's and by
    // the menu item's name ("Stift1"); a button and its menu item share one action. The
    // selections are checkable actions in one radio group each.
    QHash<QString, QToolButton *> Buttons;
    QHash<QString, QAction *> Aktionen;
    QActionGroup *DickeGruppe = nullptr;
    QActionGroup *FarbGruppe = nullptr;
    QActionGroup *WerkzeugGruppe = nullptr;

    // Reads a monitor's picture; a null image means the screen cannot be read.
    std::function<QImage(QScreen *)> Bildquelle;

    QStringList StartCaptions{QStringLiteral("Start"), QStringLiteral("Fertig")};
    QStringList StartHints{
        QStringLiteral("Bildschirm einfrieren und\r\nZeichenfunktionen aktivieren"),
        QStringLiteral("Zeichenfunktionen abschalten\r\nund Bildschirm wieder herstellen")};

    void StartFertigBtnClick();
    // Captures the chosen monitor and shows the drawing surface on it. False, after telling
    // the user, when no picture could be read.
    bool BildschirmEinfrieren();
    void FensterEinklappen();
    void FensterAusklappen();
    void SetStartFertigText();
    void SetToolWindowSize();
    void FormActivate();
    void Timer1Timer();
    // The monitor a freeze would capture now.
    QScreen *einzufrierenderMonitor() const;

signals:
    // Emitted when a freeze has shown the drawing surface, and when the release is done.
    void eingefroren();
    void freigegeben();

protected:
    bool event(QEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void closeEvent(QCloseEvent *e) override; // FormClose

private:
    void erzeugeWerkzeugleiste();
    void erzeugeKontextmenue();
    void setzeImmerOben();
    void warteMitNachrichten(int ms);

    ToolWindowMetrics m_masse{};
    bool m_einfrierenLaeuft = false;
};

extern TToolForm *ToolForm;
