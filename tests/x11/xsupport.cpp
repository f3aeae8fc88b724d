#include "xsupport.h"

#include "app/anwendung.h"
#include "app/data.h"
#include "dialogs/meldform.h"
#include "surface/auswahl.h"
#include "surface/scrwin.h"
#include "toolwindow/toolwin2.h"

#include <QElapsedTimer>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace xs {

void freshWindows()
{
    delete ToolForm;
    ToolForm = nullptr;
    delete ScreenForm;
    ScreenForm = nullptr;
    delete MeldForm;
    MeldForm = nullptr;
    delete AuswahlForm;
    AuswahlForm = nullptr;
    Cfg = Settings{};
    FensterErzeugen();
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
