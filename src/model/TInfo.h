#pragma once

#include <QString>
#include <memory>

// Une information (un item) d'un flux. Les items sont partagés entre le flux affiché,
// la liste des items de la fenêtre et le flux de la base où l'utilisateur les range.
class TInfo
{
public:
    TInfo() = default;

    void setDonnees(const QString &titre, const QString &lien, const QString &description,
                    const QString &datePub);

    QString getTitre() const { return m_titre; }
    QString getLien() const { return m_lien; }
    QString getDescription() const { return m_description; }
    QString getDatePub() const { return m_datePub; }

    // Égalité des quatre textes, exacte, casse comprise.
    bool operator==(const TInfo &autre) const;
    bool operator!=(const TInfo &autre) const { return !(*this == autre); }

private:
    QString m_titre;
    QString m_lien;
    QString m_description;
    QString m_datePub;
};

using PInfo = std::shared_ptr<TInfo>;
