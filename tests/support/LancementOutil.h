#pragma once
// Lance rss-outil (construit dans DOSSIER_BIN) et rend son code de sortie et ses deux sorties.

#include <QByteArray>
#include <QStringList>

struct ResultatOutil
{
    int code = -1;
    QByteArray sortie;
    QByteArray erreur;
};

ResultatOutil lancerOutil(const QStringList &arguments);
