#pragma once
// Où vivent les fichiers du lecteur, choisi une fois au démarrage.
//
// Disposition portable : les droits du dossier de l'exécutable permettent d'y écrire (dossier de
// construction, copie portable) ; tout reste à côté de l'exécutable.
// Disposition installée : ses droits refusent l'écriture, ou bien il n'a pas le modèle de base que
// les données partagées ont (programme installé, même lancé par root) ; les
// mêmes fichiers vivent dans le dossier de données de l'utilisateur, $XDG_DATA_HOME/brindlewave
// (par défaut ~/.local/share/brindlewave), créé et garni au premier démarrage depuis les données
// partagées installées (le modèle de base et les flux d'exemple), sans jamais rien y écraser.

#include <QString>

namespace DossierDonnees {

enum class Disposition { Portable, Installee };

struct Choix
{
    Disposition disposition = Disposition::Portable;
    QString dossier; // terminé par un séparateur
};

// Vrai quand les droits du dossier permettent à ce processus d'y créer des fichiers, au sens
// d'access(W_OK) : droits du dossier, système de fichiers en lecture seule (root passe outre les
// seuls droits). Rien n'y est écrit : la disposition ne dépend que de ce qui ne change pas sous une
// fenêtre ouverte, et pas d'une écriture qui peut échouer un moment faute de place (une seconde
// fenêtre partirait alors sur une autre base). Une écriture qui échoue ensuite est signalée comme
// telle (verrou, sauvegarde).
bool accepteEcriture(const QString &dossier);

// $XDG_DATA_HOME/brindlewave, ou ~/.local/share/brindlewave ; sans séparateur final.
QString dossierUtilisateur();

// Le choix à partir des trois dossiers. En disposition installée, le dossier de l'utilisateur est
// créé avec ressourcesHTML/ et rss/, et reçoit le modèle et les flux d'exemple du dossier partagé
// qui n'y sont pas encore. Lève ErreurEcriture quand il ne peut pas être préparé.
Choix choisir(const QString &dossierExecutable, const QString &dossierPartage, const QString &dossierUtilisateur);

// Le choix de ce programme, à faire au démarrage avant toute lecture de fichier : le dossier de
// l'exécutable, les données partagées installées à côté de lui (../share/brindlewave par rapport
// à bin/) et le dossier de l'utilisateur. Le résultat est posé dans Emplacement ; un dossier déjà
// imposé (tests, options de rss-outil) l'emporte et rien n'est choisi.
void appliquerAuDemarrage();

} // namespace DossierDonnees
