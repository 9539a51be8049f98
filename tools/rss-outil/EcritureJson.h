#pragma once
// Du JSON écrit directement dans un tampon d'octets, sans objets intermédiaires, octet pour octet
// comme QJsonDocument::toJson(QJsonDocument::Indented) écrit le même document : retrait de quatre
// espaces, « "clé": valeur », une fin de ligne après le document. L'appelant donne les clés d'un
// objet dans l'ordre où QJsonObject les range (ordre croissant).

#include <QByteArray>
#include <QList>
#include <QStringView>

class EcritureJson
{
public:
    explicit EcritureJson(QByteArray &sortie) : m_sortie(sortie) {}

    void ouvrirObjet() { ouvrir('{'); }
    void fermerObjet() { fermer('}'); }
    void ouvrirTableau() { ouvrir('['); }
    void fermerTableau() { fermer(']'); }
    // La clé du membre suivant d'un objet (un texte ASCII sans caractère à échapper).
    void cle(const char *nom);
    void texte(QStringView valeur);
    // Un membre texte d'un objet.
    void membre(const char *nom, QStringView valeur)
    {
        cle(nom);
        texte(valeur);
    }

private:
    void avantValeur();
    void ouvrir(char signe);
    void fermer(char signe);

    QByteArray &m_sortie;
    // Le nombre d'éléments déjà écrits dans chaque conteneur ouvert.
    QList<int> m_elements;
    bool m_apresCle = false;
};
