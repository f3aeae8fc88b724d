// A stand-in for the user's e-mail program, reached through xdg-email the way a desktop reaches
// the real one: a .desktop file made the default handler of mailto addresses in the private
// XDG folders of the test. It notes each address it is given, waits while it is held, and ends
// with the exit code the test gives it.
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

class MailAttrappe
{
public:
    // Installs the stand-in into $XDG_DATA_HOME and $XDG_CONFIG_HOME (which must be set) and
    // sets this process's environment, which xdg-email inherits, to find it and nothing else.
    // False, with the reason, when that fails.
    bool einrichten(QString *warum)
    {
        const QString daten = qEnvironmentVariable("XDG_DATA_HOME");
        if (!m_dir.isValid() || daten.isEmpty() || qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME"))
            return nein(warum, QStringLiteral("no temporary folder or no XDG_DATA_HOME/XDG_CONFIG_HOME"));
        const QString programm = m_dir.filePath(QStringLiteral("testmail"));
        const QString skript = QStringLiteral("#!/bin/sh\n"
                                              "printf '%s\\n' \"$*\" >> 'DIR/adressen'\n"
                                              // A reader that outlives the program, as an
                                              // e-mail program already running reads the
                                              // attachment only when the user sends.
                                              "[ -e 'DIR/leser' ] && (i=0; while [ ! -e 'DIR/lies' ] "
                                              "&& [ $i -lt 3000 ]; do sleep 0.02; i=$((i+1)); done; "
                                              "cat \"$(cat 'DIR/lies')\" > 'DIR/gelesen') "
                                              "</dev/null >/dev/null 2>&1 &\n"
                                              "while [ -e 'DIR/festhalten' ]; do sleep 0.02; done\n"
                                              "exit \"$(cat 'DIR/code')\"\n")
                                   .replace(QStringLiteral("DIR"), m_dir.path());
        const QString desktop = QStringLiteral("[Desktop Entry]\nType=Application\nName=Testmail\nExec=") +
                                programm + QStringLiteral(" %u\nMimeType=x-scheme-handler/mailto;\n");
        if (!schreiben(programm, skript.toUtf8()) ||
            !schreiben(m_dir.filePath(QStringLiteral("code")), "0") ||
            !QFile::setPermissions(programm, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) ||
            !QDir().mkpath(daten + QStringLiteral("/applications")) ||
            !schreiben(daten + QStringLiteral("/applications/skizzomat-testmail.desktop"),
                       desktop.toUtf8()) ||
            !QDir().mkpath(m_dir.filePath(QStringLiteral("daten"))) ||
            !QFile::link(QStringLiteral("/usr/share/mime"), m_dir.filePath(QStringLiteral("daten/mime"))))
            return nein(warum, QStringLiteral("cannot write the stand-in"));

        // Only our handler: no desktop of the session, no system-wide handlers, no browser.
        for (const char *name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                 "KDE_SESSION_VERSION", "GNOME_DESKTOP_SESSION_ID", "MAILER"})
            qunsetenv(name);
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_dir.filePath(QStringLiteral("daten"))));
        qputenv("BROWSER", "none");
        // xdg-open asks the handler of a scheme only where there is a display.
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("DISPLAY", ":65534");
        QProcess mime;
        mime.start(QStringLiteral("xdg-mime"),
                   {QStringLiteral("default"), QStringLiteral("skizzomat-testmail.desktop"),
                    QStringLiteral("x-scheme-handler/mailto")});
        if (!mime.waitForFinished(10000) || mime.exitStatus() != QProcess::NormalExit || mime.exitCode() != 0)
            return nein(warum, QStringLiteral("xdg-mime default failed (is xdg-utils installed?)"));
        return true;
    }

    // The addresses received, oldest first.
    QStringList adressen() const
    {
        QFile f(m_dir.filePath(QStringLiteral("adressen")));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    void vergessen() { QFile::remove(m_dir.filePath(QStringLiteral("adressen"))); }

    void setzeCode(int code) { schreiben(m_dir.filePath(QStringLiteral("code")), QByteArray::number(code)); }

    // While held, the program stays open, as a mail program started afresh does.
    void festhalten(bool ja)
    {
        const QString datei = m_dir.filePath(QStringLiteral("festhalten"));
        if (ja)
            schreiben(datei, {});
        else
            QFile::remove(datei);
    }

    // While set, each hand-over leaves a reader running behind it, which ends after reading
    // the file `lesen` names (within a minute at the latest).
    void leserLassen(bool ja)
    {
        QFile::remove(m_dir.filePath(QStringLiteral("lies")));
        QFile::remove(m_dir.filePath(QStringLiteral("gelesen")));
        const QString datei = m_dir.filePath(QStringLiteral("leser"));
        if (ja)
            schreiben(datei, {});
        else
            QFile::remove(datei);
    }
    void lesen(const QString &datei)
    {
        schreiben(m_dir.filePath(QStringLiteral("lies")), QFile::encodeName(datei));
    }
    // What the reader read.
    QByteArray gelesen() const
    {
        QFile f(m_dir.filePath(QStringLiteral("gelesen")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    static bool nein(QString *warum, const QString &text)
    {
        if (warum)
            *warum = text;
        return false;
    }

    static bool schreiben(const QString &pfad, const QByteArray &inhalt)
    {
        QFile f(pfad);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(inhalt) == inhalt.size();
    }

    QTemporaryDir m_dir;
};

// The decoded fields of a mailto address: "subject" and "attach" (once per attachment).
inline QStringList mailtoFeld(const QString &adresse, const QString &name)
{
    QStringList werte;
    const QString anfrage = adresse.section(QLatin1Char('?'), 1);
    for (const QString &teil : anfrage.split(QLatin1Char('&')))
        if (teil.section(QLatin1Char('='), 0, 0) == name)
            werte.append(QUrl::fromPercentEncoding(teil.section(QLatin1Char('='), 1).toLatin1()));
    return werte;
}
