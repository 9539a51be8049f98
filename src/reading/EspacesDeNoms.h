#pragma once
// Les espaces de noms en vigueur pendant la construction d'un arbre : les déclarations xmlns des
// éléments ouverts, retirées à leur fermeture. Un préfixe non déclaré n'a pas d'espace de noms
// (le document se lit tout de même, comme avant) ; le préfixe xml a toujours le sien.

#include <QHash>
#include <QString>
#include <QStringView>

#include <vector>

class EspacesDeNoms
{
public:
    // Une déclaration xmlns (préfixe vide : l'espace par défaut ; adresse vide : retrait).
    void declarer(const QString &prefixe, const QString &adresse);

    // Le nombre de déclarations faites ; revenirA l'y ramène, à la fermeture de l'élément.
    std::size_t marque() const { return m_annulations.size(); }
    void revenirA(std::size_t marque);

    // L'espace de noms d'un élément sans préfixe : nul sans déclaration.
    const QString &parDefaut() const { return m_parDefaut; }
    // L'espace de noms d'un préfixe ; nullptr pour un préfixe non déclaré.
    const QString *adresse(QStringView prefixe) const;

private:
    struct Annulation
    {
        QString prefixe;
        QString avant; // nul : le préfixe n'était pas déclaré
    };
    QHash<QString, QString> m_liaisons;
    QString m_parDefaut;
    std::vector<Annulation> m_annulations;
};
