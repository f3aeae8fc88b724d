// A stand-in for the desktop's default programs (browser, file manager, e-mail program),
// reached through xdg-open the way a desktop reaches the real ones: one .desktop file made the
// default handler of the given types in private XDG folders. It notes each address it is given
// and the environment it was started with. For a type it does not handle there is no program
// at all, as on a desktop without a browser or file manager: xdg-open fails.
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

class DesktopAttrappe
{
public:
    static QStringList alleTypen()
    {
        return {QStringLiteral("x-scheme-handler/https"), QStringLiteral("x-scheme-handler/mailto"),
                QStringLiteral("inode/directory")};
    }

    // Sets this process's environment, which xdg-open inherits, to find the stand-in for
    // `typen` and nothing else. $XDG_DATA_HOME and $XDG_CONFIG_HOME are used when set, else
    // made in the stand-in's own folder. False, with the reason, when that fails.
    bool einrichten(const QStringList &typen, QString *warum)
    {
        if (!m_dir.isValid())
            return nein(warum, QStringLiteral("no temporary folder"));
        for (const char *name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
            if (!qEnvironmentVariableIsEmpty(name))
                continue;
            const QString d = m_dir.filePath(QString::fromLatin1(name));
            if (!QDir().mkpath(d))
                return nein(warum, QStringLiteral("cannot make ") + d);
            qputenv(name, QFile::encodeName(d));
        }
        const QString daten = qEnvironmentVariable("XDG_DATA_HOME");
        // The defaults chosen before are gone; a stand-in for some types is the only program.
        QFile::remove(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/mimeapps.list"));
        const QString programm = m_dir.filePath(QStringLiteral("programm"));
        const QString skript = QStringLiteral("#!/bin/sh\n"
                                              "env > 'DIR/umgebung'\n"
                                              "printf '%s\\n' \"$*\" >> 'DIR/geoeffnet'\n")
                                   .replace(QStringLiteral("DIR"), m_dir.path());
        const QString desktop = QStringLiteral("[Desktop Entry]\nType=Application\nName=Testdesktop\nExec=") +
                                programm + QStringLiteral(" %u\nMimeType=") + typen.join(QLatin1Char(';')) +
                                QStringLiteral(";\n");
        if (!schreiben(programm, skript.toUtf8()) ||
            !QFile::setPermissions(programm, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) ||
            !QDir().mkpath(daten + QStringLiteral("/applications")) ||
            !schreiben(daten + QStringLiteral("/applications/skizzomat-testdesktop.desktop"),
                       desktop.toUtf8()) ||
            !QDir().mkpath(m_dir.filePath(QStringLiteral("daten"))) ||
            !QFile::link(QStringLiteral("/usr/share/mime"), m_dir.filePath(QStringLiteral("daten/mime"))))
            return nein(warum, QStringLiteral("cannot write the stand-in"));

        // Only our handler: no desktop of the session, no system-wide handlers, no browser.
        for (const char *name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                 "KDE_SESSION_VERSION", "GNOME_DESKTOP_SESSION_ID"})
            qunsetenv(name);
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_dir.filePath(QStringLiteral("daten"))));
        qputenv("BROWSER", "none");
        // xdg-open asks the handler of a scheme only where there is a display.
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("DISPLAY", ":65534");
        for (const QString &typ : typen) {
            QProcess mime;
            mime.start(QStringLiteral("xdg-mime"),
                       {QStringLiteral("default"), QStringLiteral("skizzomat-testdesktop.desktop"), typ});
            if (!mime.waitForFinished(10000) || mime.exitStatus() != QProcess::NormalExit ||
                mime.exitCode() != 0)
                return nein(warum, QStringLiteral("xdg-mime default failed (is xdg-utils installed?)"));
        }
        return true;
    }

    // The addresses received, oldest first.
    QStringList geoeffnet() const { return zeilen(QStringLiteral("geoeffnet")); }
    void vergessen() { QFile::remove(m_dir.filePath(QStringLiteral("geoeffnet"))); }
    // The environment of the last call, "NAME=value" lines.
    QStringList umgebung() const { return zeilen(QStringLiteral("umgebung")); }

private:
    QStringList zeilen(const QString &name) const
    {
        QFile f(m_dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

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
