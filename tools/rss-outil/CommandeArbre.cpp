// rss-outil arbre SOURCE : l'arbre XML du document, tel que la vue de la fenêtre le montre,
// en JSON : [{"label": texte, "image": index, "enfants": [...]}, ...].

#include "Commandes.h"
#include "DialoguesConsole.h"

#include "base/TdmRSS.h"
#include "reading/ArbreXML.h"

namespace {

// Écrit la chaîne JSON d'un texte (guillemets compris), en UTF-8.
void ajouterChaineJson(QByteArray &sortie, const QString &texte)
{
    static const char chiffres[] = "0123456789abcdef";
    QString echappe;
    echappe.reserve(texte.size() + 2);
    echappe.append(u'"');
    for (const QChar c : texte) {
        switch (c.unicode()) {
        case u'"': echappe.append(u"\\\""); break;
        case u'\\': echappe.append(u"\\\\"); break;
        case u'\n': echappe.append(u"\\n"); break;
        case u'\r': echappe.append(u"\\r"); break;
        case u'\t': echappe.append(u"\\t"); break;
        case u'\b': echappe.append(u"\\b"); break;
        case u'\f': echappe.append(u"\\f"); break;
        default:
            if (c.unicode() < 0x20) {
                echappe.append(u"\\u00");
                echappe.append(QLatin1Char(chiffres[c.unicode() >> 4]));
                echappe.append(QLatin1Char(chiffres[c.unicode() & 0xF]));
            } else {
                echappe.append(c);
            }
        }
    }
    echappe.append(u'"');
    sortie.append(echappe.toUtf8());
}

int arbre(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return erreurArguments(QStringLiteral("« arbre » attend une seule SOURCE (chemin ou adresse)."));
    DialoguesConsole dialogues;
    TdmRSS module(dialogues);
    if (!module.chargerDocumentXML(arguments.first()))
        return 1;

    // Écrit au fil du parcours, sans récursion : un document très profond ne déborde pas la pile
    // (l'écriture de QJsonDocument, elle, est récursive).
    QByteArray sortie;
    constexpr qsizetype seuilEcriture = 1 << 20;
    // Pour chaque niveau ouvert : vrai dès qu'un premier enfant y a été écrit.
    QList<bool> niveaux{false};
    sortie.append('[');
    ArbreXML::parcourir(
        module.XMLDoc.elementDocument(),
        [&](const QDomNode &, const QString &libelle, int image) {
            if (niveaux.last())
                sortie.append(',');
            niveaux.last() = true;
            sortie.append("{\"label\":");
            ajouterChaineJson(sortie, libelle);
            sortie.append(",\"image\":");
            sortie.append(QByteArray::number(image));
            sortie.append(",\"enfants\":[");
            niveaux.append(false);
            if (sortie.size() >= seuilEcriture) {
                ecrireSortie(sortie);
                sortie.clear();
            }
        },
        [&] {
            niveaux.removeLast();
            sortie.append("]}");
        });
    sortie.append("]\n");
    ecrireSortie(sortie);
    return 0;
}

const EnregistrementCommande enregistrement(
    QStringLiteral("arbre"),
    {QStringLiteral("arbre SOURCE"),
     QStringLiteral("Lit SOURCE (chemin ou adresse http(s)) et écrit son arbre XML en JSON : "
                    "libellé, index d'image et enfants de chaque nœud."),
     arbre});

} // namespace
