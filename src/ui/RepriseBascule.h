#pragma once
// Ce qu'une bascule d'onglets reprend sans relire : le document montré (celui de XMLDoc) et celui
// montré juste avant, chacun avec la signature de son fichier relevée avant sa lecture. Un
// fichier dont la signature n'a pas changé donne le même arbre DOM, donc le même flux et les
// mêmes lignes de page : ils sont repris tels quels. Deux documents au plus, quel que soit le
// nombre d'onglets, et le précédent seulement d'un fichier de 16 Mio au plus ; l'arbre DOM de
// celui qui est oublié est détruit à côté, comme après une lecture.

#include "commun/TexteEtroit.h"

#include <QDomDocument>
#include <QList>
#include <QString>

class TdmRSS;

// Taille, dates de modification et de changement à la nanoseconde, périphérique et numéro
// d'inœud : un fichier réécrit, même à la même taille et à la même date de modification, ou
// remplacé par un autre, change de signature.
struct SignatureFichier
{
    qint64 taille = -1; // -1 : fichier illisible, jamais repris
    qint64 modification = 0;
    qint64 changement = 0;
    quint64 peripherique = 0;
    quint64 inoeud = 0;

    static SignatureFichier de(const QString &chemin);
    bool operator==(const SignatureFichier &autre) const;
};

class RepriseBascule
{
public:
    RepriseBascule() = default;
    RepriseBascule(const RepriseBascule &) = delete;
    RepriseBascule &operator=(const RepriseBascule &) = delete;

    // Vrai quand le document du chemin, de cette signature, est le courant ou le précédent : il
    // est alors dans XMLDoc et ses lignes de page dans la page écrite.
    bool reprendre(const QString &chemin, const SignatureFichier &signature, TdmRSS &module);

    // Avant de lire un document dans XMLDoc, puis après l'avoir lu : le courant devient le
    // précédent, le document lu le courant.
    void avantLecture(const TdmRSS &module);
    void noterLecture(const QString &chemin, const SignatureFichier &signature, const TdmRSS &module);
    // Les lignes de page du courant, telles que genererPageDocument vient de les donner.
    void noterLignesPage(const QList<TexteEtroit> &lignes) { m_courant.lignesPage = lignes; }

private:
    struct Document
    {
        QString chemin;
        SignatureFichier signature;
        QDomDocument arbre;
        QList<TexteEtroit> lignesPage;
    };

    // Le courant n'est plus celui de XMLDoc quand un autre chemin a lu un document depuis.
    bool courantValide(const TdmRSS &module) const;
    void oublier(Document &document);

    Document m_courant;
    Document m_precedent;
    bool m_courantMontre = false;
};
