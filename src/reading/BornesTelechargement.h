#pragma once
// Les bornes de chaque téléchargement, celui d'une commande comme celui d'une actualisation :
// dépasser l'une d'elles est un échec du téléchargement.

#include <QtGlobal>
#include <chrono>

struct BornesTelechargement
{
    std::chrono::milliseconds connexion{30'000};    // établir la connexion (TLS compris)
    std::chrono::milliseconds silence{60'000};      // aucun octet reçu pendant ce temps
    std::chrono::milliseconds duree{300'000};       // toute la requête, même au goutte-à-goutte
    qint64 tailleMaximale = 64LL * 1024 * 1024;     // octets du corps
};
