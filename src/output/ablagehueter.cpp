#include "output/ablagehueter.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <unistd.h>

extern char **environ;

namespace {

xcb_atom_t clipboardAtom(xcb_connection_t *c)
{
    static const char name[] = "CLIPBOARD";
    xcb_intern_atom_reply_t *r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

xcb_window_t besitzerVon(xcb_connection_t *c, xcb_atom_t auswahl)
{
    xcb_get_selection_owner_reply_t *r =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, auswahl), nullptr);
    const xcb_window_t w = r ? r->owner : xcb_window_t(XCB_NONE);
    std::free(r);
    return w;
}

void antworten(bool genommen)
{
    const char zeichen = genommen ? '1' : '0';
    while (::write(STDOUT_FILENO, &zeichen, 1) < 0 && errno == EINTR) {
    }
}

// From here on nothing of ours is left to say, and the terminal or pipe that started the
// program must not be held open by us.
void standardkanaeleLoslassen()
{
    const int leer = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (leer < 0)
        return;
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        ::dup2(leer, fd);
    ::close(leer);
}

// The rows of an RGB32 picture, one after the other.
qsizetype zeilenLaenge(const QImage &bild)
{
    return qsizetype(bild.width()) * 4;
}

bool allesSchreiben(int fd, const QImage &bild)
{
    for (int y = 0; y < bild.height(); ++y) {
        const char *zeile = reinterpret_cast<const char *>(bild.constScanLine(y));
        for (qsizetype geschrieben = 0; geschrieben < zeilenLaenge(bild);) {
            const ssize_t n = ::write(fd, zeile + geschrieben, size_t(zeilenLaenge(bild) - geschrieben));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            geschrieben += n;
        }
    }
    return true;
}

// Exactly the picture's pixels: a shorter or longer input is refused.
bool allesLesen(int fd, QImage &bild)
{
    for (int y = 0; y < bild.height(); ++y) {
        char *zeile = reinterpret_cast<char *>(bild.scanLine(y));
        for (qsizetype gelesen = 0; gelesen < zeilenLaenge(bild);) {
            const ssize_t n = ::read(fd, zeile + gelesen, size_t(zeilenLaenge(bild) - gelesen));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            gelesen += n;
        }
    }
    char rest;
    ssize_t n;
    while ((n = ::read(fd, &rest, 1)) < 0 && errno == EINTR) {
    }
    return n == 0;
}

} // namespace

int AblageHueterAusfuehren(int argc, char **argv)
{
    // The program may have stopped waiting for our answer; a clipboard taken is ours all the same.
    std::signal(SIGPIPE, SIG_IGN);
    const auto zahl = [&](int i) {
        bool ok = false;
        const uint wert = i < argc ? QByteArray(argv[i]).toUInt(&ok, 0) : 0;
        return ok ? wert : 0u;
    };
    const std::uint32_t besitzer = zahl(2);
    const int breite = int(qMin(zahl(3), 1u << 15));
    const int hoehe = int(qMin(zahl(4), 1u << 15));
    if (argc != 5 || besitzer == XCB_NONE || breite == 0 || hoehe == 0) {
        antworten(false);
        return 2;
    }
    QImage bild(breite, hoehe, QImage::Format_RGB32);
    if (bild.isNull() || !allesLesen(STDIN_FILENO, bild)) {
        antworten(false);
        return 1;
    }
    // No folder of the user's stays busy while we wait.
    [[maybe_unused]] const int imWurzelordner = ::chdir("/");

    // The clipboard being kept is an X11 one, whatever platform the user prefers otherwise.
    qputenv("QT_QPA_PLATFORM", "xcb");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    auto *x11 = app.nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) {
        antworten(false);
        return 1;
    }
    xcb_connection_t *c = x11->connection();
    QClipboard *ablage = QGuiApplication::clipboard();

    // The program that started us may have lost the clipboard to another one meanwhile; the
    // grab keeps anybody from taking it between our look and our taking it over.
    const xcb_atom_t clipboard = clipboardAtom(c);
    xcb_grab_server(c);
    bool genommen = false;
    if (clipboard != XCB_ATOM_NONE && besitzerVon(c, clipboard) == besitzer) {
        auto *daten = new QMimeData;
        daten->setImageData(bild);
        ablage->setMimeData(daten);
        genommen = ablage->ownsClipboard() && besitzerVon(c, clipboard) != besitzer;
    }
    xcb_ungrab_server(c);
    xcb_flush(c);
    antworten(genommen);
    if (!genommen)
        return 0;
    standardkanaeleLoslassen();

    QObject::connect(ablage, &QClipboard::changed, &app, [ablage](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard && !ablage->ownsClipboard())
            QCoreApplication::quit();
    });
    // A connection to a server that went away ends the process inside Qt.
    return app.exec();
}

bool AblageHueterStarten(const QImage &bild, std::uint32_t besitzer, int wartezeitMs)
{
    const QImage pixel = bild.convertToFormat(QImage::Format_RGB32);
    if (pixel.isNull())
        return false;
    // The picture travels in an anonymous file in memory: nothing of it appears on disk, and
    // plain pixels spare both sides an encoder.
    const int daten = ::memfd_create("skizzomat-ablage", MFD_CLOEXEC);
    if (daten < 0)
        return false;
    if (!allesSchreiben(daten, pixel) || ::lseek(daten, 0, SEEK_SET) != 0) {
        ::close(daten);
        return false;
    }
    int rueckmeldung[2];
    if (::pipe2(rueckmeldung, O_CLOEXEC) != 0) {
        ::close(daten);
        return false;
    }

    posix_spawn_file_actions_t aktionen;
    posix_spawn_file_actions_init(&aktionen);
    posix_spawn_file_actions_adddup2(&aktionen, daten, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&aktionen, rueckmeldung[1], STDOUT_FILENO);
    // Nothing else of ours goes along, least of all the single-instance lock.
    posix_spawn_file_actions_addclosefrom_np(&aktionen, STDERR_FILENO + 1);
    posix_spawnattr_t attribute;
    posix_spawnattr_init(&attribute);
    sigset_t keine;
    sigemptyset(&keine);
    sigset_t alle;
    sigfillset(&alle);
    posix_spawnattr_setsigmask(&attribute, &keine);
    posix_spawnattr_setsigdefault(&attribute, &alle);
    // A session of its own: the terminal's hang-up and job control are no longer its business.
    posix_spawnattr_setflags(&attribute, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const QByteArray programm = QFile::encodeName(QCoreApplication::applicationFilePath());
    QByteArray option(AblageHueterOption);
    QByteArray fenster = QByteArray::number(besitzer);
    QByteArray breite = QByteArray::number(pixel.width());
    QByteArray hoehe = QByteArray::number(pixel.height());
    char *argumente[] = {const_cast<char *>(programm.constData()),
                         option.data(),
                         fenster.data(),
                         breite.data(),
                         hoehe.data(),
                         nullptr};
    pid_t pid = 0;
    const int fehler = posix_spawn(&pid, programm.constData(), &aktionen, &attribute, argumente, environ);
    posix_spawn_file_actions_destroy(&aktionen);
    posix_spawnattr_destroy(&attribute);
    ::close(daten);
    ::close(rueckmeldung[1]);
    if (fehler != 0) {
        ::close(rueckmeldung[0]);
        return false;
    }

    char antwort = 0;
    pollfd p{rueckmeldung[0], POLLIN, 0};
    int bereit;
    while ((bereit = ::poll(&p, 1, wartezeitMs)) < 0 && errno == EINTR) {
    }
    if (bereit > 0) {
        while (::read(rueckmeldung[0], &antwort, 1) < 0 && errno == EINTR) {
        }
    }
    ::close(rueckmeldung[0]);
    return antwort == '1';
}
