#include "DialoguesConsole.h"

#include <cstdio>

Reponse DialoguesConsole::afficher(TypeBoite, const QString &texte, BoutonsBoite boutons, const QString &)
{
    ++m_boites;
    std::fprintf(stderr, "%s\n", texte.toUtf8().constData());
    return boutons == BoutonsBoite::Ok ? Reponse::Ok : Reponse::Non;
}

QString DialoguesConsole::saisir(const QString &, const QString &) { return QString(); }

std::optional<QString> DialoguesConsole::choisirFichier(const QString &, const QString &, const QString &)
{
    return std::nullopt;
}

void DialoguesConsole::bip(int, int) {}
