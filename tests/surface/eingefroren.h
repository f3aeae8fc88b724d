// A frozen picture on the offscreen platform for tests that drive both windows.
#pragma once

#include "startup/anwendung.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QToolButton>

// Creates the windows once and freezes `bild`; the surface then covers (0, 0) to the
// picture's size.
inline bool einfrieren(const QImage &bild)
{
    if (!ToolForm) {
        QApplication::setQuitOnLastWindowClosed(false);
        FensterErzeugen();
        ToolForm->show();
        if (!QTest::qWaitForWindowExposed(ToolForm))
            return false;
        if (!QTest::qWaitFor([] { return !ToolForm->Start; }))
            return false;
    }
    ToolForm->Bildquelle = [bild](QScreen *) { return bild; };
    if (ToolForm->WinZustand == 1)
        ToolForm->StartFertigBtnClick();
    ToolForm->StartFertigBtnClick();
    if (ToolForm->WinZustand != 1)
        return false;
    ScreenForm->setGeometry(QRect(QPoint(0, 0), bild.size()));
    return QTest::qWaitForWindowExposed(ScreenForm);
}

inline QAction *aktion(const char *name)
{
    return ToolForm->Aktionen.value(QString::fromLatin1(name));
}

// QTest's moves lose their modifiers on the way through the platform; a move with keys is
// sent to the widget itself.
inline void bewege(QWidget *w, QPoint p, Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    QTest::mouseEvent(QTest::MouseMove, w, Qt::NoButton, keys, p);
    if (keys == Qt::NoModifier)
        return;
    QMouseEvent e(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, QGuiApplication::mouseButtons(),
                  keys);
    QApplication::sendEvent(w, &e);
}

inline void ziehe(QWidget *w, QPoint von, QPoint nach, Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    bewege(w, von, keys);
    QTest::mousePress(w, Qt::LeftButton, keys, von);
    bewege(w, (von + nach) / 2, keys);
    bewege(w, nach, keys);
    QTest::mouseRelease(w, Qt::LeftButton, keys, nach);
}
