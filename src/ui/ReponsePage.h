#pragma once
// La réponse du schéma de la page au moteur web, en ligne pour que le plancher des mesures de la
// fenêtre, qui ne lie que Qt, serve sa page exactement de la même façon.

#include <QBuffer>
#include <QFile>
#include <QString>
#include <QWebEngineUrlRequestJob>

// Sert le fichier tel qu'il est sur le disque à cet instant, en Windows-1252, ou UrlNotFound.
// Il est lu d'un bloc : le moteur n'attend pas le disque pendant qu'il le lit, et le reçoit tel
// qu'il est à cet instant, même si une nouvelle page est écrite entre-temps.
inline void repondreParFichier(QWebEngineUrlRequestJob *demande, const QString &chemin)
{
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly)) {
        demande->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto contenu = new QBuffer(demande);
    contenu->setData(fichier.readAll());
    contenu->open(QIODevice::ReadOnly);
    demande->reply(QByteArrayLiteral("text/html;charset=windows-1252"), contenu);
}
