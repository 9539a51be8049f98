#pragma once

#include "commun/TexteEtroit.h"
#include "model/TImageFlux.h"
#include "model/TInfo.h"

#include <QList>
#include <QString>
#include <memory>

// Un flux : ses textes, son image, ses informations et les noms des rubriques où il est rangé.
// Un flux possède son image ; ses informations sont partagées (voir TInfo).
class TFlux
{
public:
    TFlux();
    TFlux(const TFlux &) = delete;
    TFlux &operator=(const TFlux &) = delete;

    // Affecte les sept textes ; urlrss, l'image et les deux listes restent tels quels. Le titre
    // et le copyright sont alors du HTML, jusqu'à setTitreEnTexte et setCopyrightEnTexte.
    void setDonnees(const QString &titre, const QString &lien, const QString &description,
                    const QString &copyright, const QString &datePub, const QString &langue,
                    const QString &auteur);
    // Vrai quand le titre (le copyright) est du texte, que la page échappe (voir TInfo).
    void setTitreEnTexte(bool enTexte) { m_titreEnTexte = enTexte; }
    bool getTitreEnTexte() const { return m_titreEnTexte; }
    void setCopyrightEnTexte(bool enTexte) { m_copyrightEnTexte = enTexte; }
    bool getCopyrightEnTexte() const { return m_copyrightEnTexte; }
    void setUrlRss(const QString &urlrss) { m_urlrss = urlrss; }

    QString getTitre() const { return m_titre; }
    QString getLien() const { return m_lien; }
    QString getDescription() const { return m_description; }
    QString getCopyright() const { return m_copyright; }
    QString getDatePub() const { return m_datePub; }
    QString getLangue() const { return m_langue; }
    QString getAuteur() const { return m_auteur; }
    QString getUrlRss() const { return m_urlrss; }

    // L'image n'est jamais nulle : un flux neuf en tient une vide.
    TImageFlux &getImage() { return *m_image; }
    const TImageFlux &getImage() const { return *m_image; }
    // Le flux prend cette image ; la précédente est détruite. Une image nulle est ignorée.
    void setImage(std::unique_ptr<TImageFlux> image);

    QList<PInfo> infos;
    QList<TexteEtroit> rubriquesAssociees;

private:
    std::unique_ptr<TImageFlux> m_image;
    QString m_titre;
    QString m_lien;
    QString m_description;
    QString m_copyright;
    QString m_datePub;
    QString m_langue;
    QString m_auteur;
    QString m_urlrss;
    bool m_titreEnTexte = false;
    bool m_copyrightEnTexte = false;
};

using PFlux = std::shared_ptr<TFlux>;
