// cmake --install dans un préfixe temporaire : les fichiers attendus et rien d'autre, une icône
// 48×48, une entrée de bureau et des métadonnées AppStream que leurs validateurs acceptent ; le
// paquet Debian (cpack) dépend de libcurl, que le programme charge lui-même.

#include "OutilsTests.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

const QString id = QStringLiteral("org.brindlewave.LecteurRSS");

struct Resultat
{
    int code = -1;
    QByteArray sortie;
};

Resultat lancer(const QString &commande, const QStringList &arguments)
{
    QProcess processus;
    processus.setProcessChannelMode(QProcess::MergedChannels);
    processus.start(commande, arguments);
    Resultat resultat;
    if (!processus.waitForFinished(300'000))
        return resultat;
    resultat.code = processus.exitStatus() == QProcess::NormalExit ? processus.exitCode() : -1;
    resultat.sortie = processus.readAll();
    return resultat;
}

QStringList fichiersSous(const QString &racine)
{
    QStringList fichiers;
    QDirIterator parcours(racine, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (parcours.hasNext())
        fichiers << QDir(racine).relativeFilePath(parcours.next());
    fichiers.sort();
    return fichiers;
}

} // namespace

class TestInstallation : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_prefixe;

    QString installe(const QString &chemin) const { return m_prefixe.filePath(chemin); }

    // Le validateur donné, trouvé dans le PATH (scripts/installer-dependances.sh l'installe).
    Resultat valider(const QString &outil, const QStringList &arguments)
    {
        const QString chemin = QStandardPaths::findExecutable(outil);
        if (chemin.isEmpty())
            qWarning("%s absent : lancer scripts/installer-dependances.sh", qPrintable(outil));
        return chemin.isEmpty() ? Resultat{} : lancer(chemin, arguments);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_prefixe.isValid());
        const Resultat installation = lancer(QStringLiteral(COMMANDE_CMAKE),
                                             {QStringLiteral("--install"), QStringLiteral(DOSSIER_CONSTRUCTION),
                                              QStringLiteral("--prefix"), m_prefixe.path()});
        QVERIFY2(installation.code == 0, installation.sortie.constData());
    }

    void lesFichiersAttendusEtRienDAutre()
    {
        QStringList attendus{
            QStringLiteral("bin/rss-outil"),
            QStringLiteral("share/brindlewave/baseFluxModèle.xml"),
            QStringLiteral("share/applications/%1.desktop").arg(id),
            QStringLiteral("share/metainfo/%1.metainfo.xml").arg(id),
            QStringLiteral("share/icons/hicolor/scalable/apps/%1.svg").arg(id),
            QStringLiteral("share/icons/hicolor/48x48/apps/%1.png").arg(id),
        };
        if (QFileInfo::exists(QStringLiteral(DOSSIER_BIN "/lecteur-rss")))
            attendus << QStringLiteral("bin/lecteur-rss");
        const QDir fluxExemples(QStringLiteral(DOSSIER_SOURCES_TESTS "/../data/rss"));
        const QStringList exemples = fluxExemples.entryList(QDir::Files);
        QVERIFY(!exemples.isEmpty());
        for (const QString &nom : exemples) {
            attendus << QStringLiteral("share/brindlewave/rss/") + nom;
            QCOMPARE(OutilsTests::lireFichier(installe(QStringLiteral("share/brindlewave/rss/") + nom)),
                     OutilsTests::lireFichier(fluxExemples.filePath(nom)));
        }
        attendus.sort();
        QCOMPARE(fichiersSous(m_prefixe.path()), attendus);
        QVERIFY(QFileInfo(installe(QStringLiteral("bin/rss-outil"))).isExecutable());
    }

    void lIconeBitmapFait48Sur48()
    {
        const QByteArray png = OutilsTests::lireFichier(installe(QStringLiteral("share/icons/hicolor/48x48/apps/%1.png").arg(id)));
        QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
        QCOMPARE(png.mid(12, 4), QByteArray("IHDR"));
        QCOMPARE(qFromBigEndian<quint32>(png.constData() + 16), 48u);
        QCOMPARE(qFromBigEndian<quint32>(png.constData() + 20), 48u);
    }

    void lEntreeDeBureau()
    {
        const QString chemin = installe(QStringLiteral("share/applications/%1.desktop").arg(id));
        const QStringList lignes = QString::fromUtf8(OutilsTests::lireFichier(chemin)).split(u'\n');
        for (const QString &ligne : {u"Exec=lecteur-rss %F"_qs, u"Icon=org.brindlewave.LecteurRSS"_qs,
                                     u"Name=Lecteur RSS"_qs, u"Categories=Network;News;Feed;"_qs,
                                     u"MimeType=application/rss+xml;application/rdf+xml;"_qs})
            QVERIFY2(lignes.contains(ligne), qPrintable(ligne));
        const Resultat validation = valider(QStringLiteral("desktop-file-validate"), {chemin});
        QVERIFY2(validation.code == 0 && validation.sortie.trimmed().isEmpty(), validation.sortie.constData());
    }

    void lesMetadonneesAppStream()
    {
        const QString chemin = installe(QStringLiteral("share/metainfo/%1.metainfo.xml").arg(id));
        const QByteArray contenu = OutilsTests::lireFichier(chemin);
        QVERIFY(contenu.contains("<id>org.brindlewave.LecteurRSS</id>"));
        QVERIFY(contenu.contains("<launchable type=\"desktop-id\">org.brindlewave.LecteurRSS.desktop</launchable>"));
        const Resultat validation = valider(QStringLiteral("appstreamcli"), {u"validate"_qs, u"--no-net"_qs, chemin});
        QVERIFY2(validation.code == 0, validation.sortie.constData());
    }

    void lePaquetDependDeLibcurl()
    {
        QTemporaryDir sortie;
        const Resultat paquet = lancer(QStringLiteral(COMMANDE_CPACK), {u"-G"_qs, u"DEB"_qs, u"-B"_qs, sortie.path(), u"--config"_qs,
                                                                      QStringLiteral(DOSSIER_CONSTRUCTION "/CPackConfig.cmake")});
        QVERIFY2(paquet.code == 0, paquet.sortie.constData());
        const QStringList debs = QDir(sortie.path()).entryList({u"*.deb"_qs}, QDir::Files);
        QCOMPARE(debs.size(), 1);
        const Resultat depends = lancer(u"dpkg-deb"_qs, {u"-f"_qs, sortie.filePath(debs.first()), u"Depends"_qs});
        QVERIFY2(depends.sortie.contains("libcurl4 (>= 7.80.0)"), depends.sortie.constData());
    }
};

QTEST_GUILESS_MAIN(TestInstallation)
#include "tst_installation.moc"
