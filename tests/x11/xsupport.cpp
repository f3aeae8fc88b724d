#include "xsupport.h"

#include "app/data.h"
#include "controls/meldform.h"
#include "startup/anwendung.h"
#include "surface/auswahl.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QElapsedTimer>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace xs {

void freshWindows()
{
    FensterLoeschen();
    Cfg = Settings{};
    FensterErzeugen();
}

bool startClicked()
{
    QSignalSpy frozen(ToolForm, &TToolForm::eingefroren);
    ToolForm->show();
    if (!QTest::qWaitForWindowExposed(ToolForm) || !waitUntilPlaced(ToolForm))
        return false;
    click(centre(ToolForm->StartFertigBtn));
    return QTest::qWaitFor([&] { return frozen.size() == 1; }) &&
           QTest::qWaitFor([] { return windowInfo(ScreenForm->winId()).value_or(WindowInfo{}).viewable; }) &&
           waitUntilPlaced(ToolForm);
}

bool placed(const QWidget *w)
{
    const std::optional<WindowInfo> info = windowInfo(w->winId());
    return info && info->viewable && info->geometry == QRect(w->mapToGlobal(QPoint()), w->size());
}

bool waitUntilPlaced(const QWidget *w, int timeoutMs)
{
    return QTest::qWaitFor([w] { return placed(w); }, timeoutMs);
}

unsigned long startProgram(QProcess &p)
{
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QStringLiteral(SKIZZOMAT_BINARY), {});
    if (!p.waitForStarted())
        return 0;
    QList<unsigned long> fenster;
    QElapsedTimer t;
    t.start();
    while ((fenster = visibleWindowsOf(p.processId())).isEmpty() && t.elapsed() < 10000)
        QTest::qWait(50);
    // The first activation places the window; it has run once the window stands still.
    QTest::qWait(300);
    return fenster.value(0);
}

bool closeProgram(QProcess &p, unsigned long window)
{
    if (!closeWindow(window))
        return false;
    p.waitForFinished(10000);
    return p.state() == QProcess::NotRunning && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QPoint centre(const QWidget *w)
{
    return w->mapToGlobal(w->rect().center());
}

Result run(const QString &program, const QStringList &args, int timeoutMs)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    Result r;
    if (!p.waitForStarted(timeoutMs) || !p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.out = p.readAllStandardOutput();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return r;
}

QImage knownPicture(QSize size)
{
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = qRgb(x * 255 / size.width(), y * 255 / size.height(), (x / 7 + y / 5) & 0xFF);
    }
    QPainter p(&img);
    QFont font;
    font.setPixelSize(30);
    p.setFont(font);
    p.setPen(Qt::white);
    for (int y = 40; y < size.height(); y += 90)
        for (int x = 10; x < size.width(); x += 300)
            p.drawText(x, y, QStringLiteral("Bild %1/%2").arg(x).arg(y));
    return img;
}

bool showOnRoot(const QImage &picture, QString *why)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("known.png"));
    if (!picture.save(file)) {
        *why = QStringLiteral("cannot write ") + file;
        return false;
    }
    // display sets the root window's background and ends with status 1.
    if (run(QStringLiteral("display"), {QStringLiteral("-window"), QStringLiteral("root"), file}).exitCode <
        0) {
        *why = QStringLiteral("display did not run");
        return false;
    }
    QElapsedTimer t;
    t.start();
    QString diff;
    while (t.elapsed() < 10000) {
        diff = difference(readScreen(), picture);
        if (diff.isEmpty())
            return true;
        QThread::msleep(50);
    }
    *why = QStringLiteral("the root window does not show the picture: ") + diff;
    return false;
}

QImage readScreen()
{
    const Result r = run(QStringLiteral("import"), {QStringLiteral("-silent"), QStringLiteral("-window"),
                                                    QStringLiteral("root"), QStringLiteral("png:-")});
    if (r.exitCode != 0)
        return {};
    return QImage::fromData(r.out, "PNG").convertToFormat(QImage::Format_RGB32);
}

QString difference(const QImage &a, const QImage &b, const QRegion &except)
{
    if (a.isNull() || b.isNull())
        return QStringLiteral("no image");
    if (a.size() != b.size())
        return QStringLiteral("sizes %1x%2 and %3x%4")
            .arg(a.width())
            .arg(a.height())
            .arg(b.width())
            .arg(b.height());
    const QImage ca = a.convertToFormat(QImage::Format_RGB32);
    const QImage cb = b.convertToFormat(QImage::Format_RGB32);
    qint64 count = 0;
    QPoint first;
    for (int y = 0; y < ca.height(); ++y) {
        const auto *la = reinterpret_cast<const QRgb *>(ca.constScanLine(y));
        const auto *lb = reinterpret_cast<const QRgb *>(cb.constScanLine(y));
        for (int x = 0; x < ca.width(); ++x) {
            if ((la[x] & 0xFFFFFF) == (lb[x] & 0xFFFFFF) || except.contains(QPoint(x, y)))
                continue;
            if (count++ == 0)
                first = {x, y};
        }
    }
    if (count == 0)
        return {};
    return QStringLiteral("%1 pixels differ, the first at (%2,%3): #%4 instead of #%5")
        .arg(count)
        .arg(first.x())
        .arg(first.y())
        .arg(ca.pixel(first) & 0xFFFFFF, 6, 16, QLatin1Char('0'))
        .arg(cb.pixel(first) & 0xFFFFFF, 6, 16, QLatin1Char('0'));
}

QString waitForScreen(const QImage &expected, const QRegion &except, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    QString diff;
    do {
        QTest::qWait(20);
        diff = difference(readScreen(), expected, except);
    } while (!diff.isEmpty() && t.elapsed() < timeoutMs);
    return diff;
}

double sameShare(const QImage &a, const QImage &b, const QRect &area)
{
    const QRect r = area & a.rect() & b.rect();
    if (r.isEmpty())
        return 0;
    qint64 same = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            same += (a.pixel(x, y) & 0xFFFFFF) == (b.pixel(x, y) & 0xFFFFFF);
    return double(same) / (qint64(r.width()) * r.height());
}

void click(QPoint global)
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y()),
         QStringLiteral("click"), QStringLiteral("1")});
}

void key(const QString &keysym)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("key"), keysym});
}

void moveWindow(unsigned long window, QPoint to)
{
    run(QStringLiteral("xdotool"), {QStringLiteral("windowmove"), QString::number(window),
                                    QString::number(to.x()), QString::number(to.y())});
}

void focus(unsigned long window)
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("windowfocus"), QStringLiteral("--sync"), QString::number(window)});
}

bool closeWindow(unsigned long window)
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    const auto atom = [c](const char *name) {
        xcb_intern_atom_reply_t *r =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(r);
        return a;
    };
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = xcb_window_t(window);
    e.type = atom("WM_PROTOCOLS");
    e.data.data32[0] = atom("WM_DELETE_WINDOW");
    e.data.data32[1] = XCB_CURRENT_TIME;
    const bool ok = e.type != XCB_ATOM_NONE && e.data.data32[0] != XCB_ATOM_NONE;
    if (ok) {
        xcb_send_event(c, 0, e.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&e));
        // A round trip: a connection closed right after the request may lose it unprocessed.
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    }
    xcb_disconnect(c);
    return ok;
}

std::optional<WindowInfo> windowInfo(unsigned long window)
{
    const Result r = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    if (r.exitCode != 0)
        return std::nullopt;
    const QString text = QString::fromLocal8Bit(r.out);
    const auto value = [&](const char *label) {
        const QRegularExpression re(QLatin1String(label) + QStringLiteral(":\\s*(-?\\d+)"));
        return re.match(text).captured(1).toInt();
    };
    WindowInfo info;
    info.geometry = QRect(value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
                          value("Height"));
    info.viewable = text.contains(QStringLiteral("Map State: IsViewable"));
    return info;
}

QRect frameRect(unsigned long window)
{
    const std::optional<WindowInfo> info = windowInfo(window);
    if (!info)
        return {};
    const QStringList extents = property(window, "_NET_FRAME_EXTENTS").split(QLatin1Char(','));
    if (extents.size() != 4)
        return info->geometry;
    const auto e = [&](int i) { return extents[i].trimmed().toInt(); };
    return info->geometry.adjusted(-e(0), -e(2), e(1), e(3));
}

namespace {

QList<unsigned long> windowList(const QByteArray &text)
{
    QList<unsigned long> ids;
    static const QRegularExpression number(QStringLiteral("(0x[0-9a-fA-F]+|\\b\\d+\\b)"));
    for (const auto &m : number.globalMatch(QString::fromLatin1(text)))
        ids.append(m.captured(1).toULong(nullptr, 0));
    return ids;
}

} // namespace

QList<unsigned long> visibleWindowsOf(qint64 pid)
{
    return windowList(
        run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                        QStringLiteral("--pid"), QString::number(pid)})
            .out);
}

QList<unsigned long> visibleWindowsNamed(const QString &title)
{
    return windowList(
        run(QStringLiteral("xdotool"),
            {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
             QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$')})
            .out);
}

unsigned long waitForWindowNamed(const QString &title)
{
    QList<unsigned long> found;
    QElapsedTimer t;
    t.start();
    while ((found = visibleWindowsNamed(title)).size() != 1 && t.elapsed() < 10000)
        QTest::qWait(50);
    return found.size() == 1 ? found.first() : 0;
}

QList<unsigned long> stackingOrder()
{
    const QByteArray out = run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("-notype"),
                                                         QStringLiteral("_NET_CLIENT_LIST_STACKING")})
                               .out;
    const int hash = out.indexOf('#');
    return hash < 0 ? QList<unsigned long>{} : windowList(out.mid(hash + 1));
}

QString property(unsigned long window, const char *name)
{
    const QString out =
        QString::fromLocal8Bit(
            run(QStringLiteral("xprop"), (window ? QStringList{QStringLiteral("-id"), QString::number(window)}
                                                 : QStringList{QStringLiteral("-root")})
                                             << QString::fromLatin1(name))
                .out)
            .trimmed();
    const int sep = out.indexOf(QRegularExpression(QStringLiteral("[:=]")));
    return sep < 0 ? out : out.mid(sep + 1).trimmed();
}

} // namespace xs
