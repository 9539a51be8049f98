#pragma once
// Les sous-commandes de rss-outil. Chacune s'enregistre depuis son propre fichier.

#include <QStringList>
#include <functional>
#include <map>

struct Commande
{
    QString usage;   // ligne d'aide, ex. « analyser SOURCE »
    QString resume;  // ce que fait la commande
    // Reçoit les arguments qui suivent le nom de la commande ; rend le code de sortie.
    std::function<int(const QStringList &)> executer;
};

std::map<QString, Commande> &commandes();

struct EnregistrementCommande
{
    EnregistrementCommande(const QString &nom, Commande commande)
    {
        commandes().emplace(nom, std::move(commande));
    }
};

// Écrit sur la sortie standard ou d'erreur, en UTF-8.
void ecrireSortie(const QByteArray &octets);
void ecrireErreur(const QString &texte);

// Code de sortie d'arguments invalides, après le message.
int erreurArguments(const QString &message);

// Les arguments « VALEUR [--dossier DOSSIER] », dans n'importe quel ordre, de la commande nommée ;
// `attendu` nomme la valeur dans le message (« une ADRESSE »). 0 quand ils conviennent, sinon le
// code de sortie d'arguments invalides, après le message.
int lireValeurEtDossier(const QStringList &arguments, const QString &commande, const QString &attendu,
                        QString &valeur, QString &dossier);
