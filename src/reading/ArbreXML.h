#pragma once
// L'arbre XML du document courant, côté cœur : le libellé étroit d'un nœud, l'image que ce
// libellé choisit dans ListeImages, partagés par la vue de la fenêtre et par « rss-outil arbre »,
// et le parcours du document sans récursion dont ce dernier écrit l'arbre entier.

#include "commun/TexteEtroit.h"

#include <QDomNode>
#include <QList>
#include <QStringView>

namespace ArbreXML {

// Pas d'image pour ce libellé.
constexpr int aucuneImage = -1;

// La valeur du nœud pour un nœud texte ou une section CDATA, son nom pour tout autre nœud
// (« dc:date », « #comment »...), en texte large, tel que le document le donne.
QString texteDuNoeud(const QDomNode &noeud);

// Le libellé du nœud : ce texte en texte étroit (« ? » pour un caractère hors Windows-1252).
TexteEtroit libelle(const QDomNode &noeud);

// Le libellé étroit reconverti en texte large, pour l'affichage : depuisEtroit(versEtroit(texte)),
// sans copie quand tous les caractères survivent à l'aller-retour.
QString libelleAffiche(QString texte);

// L'index de l'image de ListeImages pour un libellé, choisie par son nom local (« dc:date » comme
// « date ») : comparaison exacte, casse comprise ; les noms d'Atom valent ceux de RSS (« entry »
// comme « item », « feed » comme « channel », « summary » et « content » comme « description »,
// « updated » et « published » comme « pubDate », « rights » comme « copyright ») ; aucuneImage
// pour tout autre libellé. Les noms du tableau sont en ASCII : le libellé étroit et le libellé
// affiché donnent le même index.
int indexImage(const TexteEtroit &libelle);
int indexImage(QStringView libelle);

// Vrai pour un nœud que l'arbre montre : tout nœud, sauf un texte fait seulement de blancs XML
// (espaces, tabulations, retours), que le document garde entre les sections d'un champ mais
// qui ne ferait qu'une ligne vide dans l'arbre.
bool estMontre(const QDomNode &noeud);
// Le premier enfant montré d'un nœud, le frère montré suivant d'un nœud ; nul s'il n'y en a pas.
QDomNode premierEnfantMontre(const QDomNode &noeud);
QDomNode suivantMontre(const QDomNode &noeud);

// Parcourt en profondeur, dans l'ordre du document, tous les nœuds montrés situés sous `racine`
// (la racine elle-même exclue ; les attributs ne sont pas des nœuds de l'arbre).
// Pour chaque nœud : entrer(noeud, libelleAffiche, image), puis ses descendants, puis sortir().
// Le parcours suit les liens parent/frère du DOM : la pile d'appels ne grandit pas avec
// la profondeur du document.
template<typename Entrer, typename Sortir>
void parcourir(const QDomNode &racine, Entrer &&entrer, Sortir &&sortir)
{
    if (racine.isNull())
        return;
    QDomNode noeud = premierEnfantMontre(racine);
    int profondeur = 0;
    while (!noeud.isNull()) {
        const QString texte = libelleAffiche(texteDuNoeud(noeud));
        entrer(noeud, texte, indexImage(texte));
        if (QDomNode enfant = premierEnfantMontre(noeud); !enfant.isNull()) {
            noeud = enfant;
            ++profondeur;
            continue;
        }
        sortir();
        // Remonte jusqu'au premier ancêtre qui a un frère suivant, en fermant chaque niveau.
        for (;;) {
            QDomNode suivant = suivantMontre(noeud);
            if (!suivant.isNull()) {
                noeud = suivant;
                break;
            }
            if (profondeur == 0) {
                noeud = QDomNode();
                break;
            }
            noeud = noeud.parentNode();
            --profondeur;
            sortir();
        }
    }
}

} // namespace ArbreXML
