#include "model/TInfo.h"

#include <atomic>

namespace {
// Les informations se lisent aussi sur des fils de fond (actualisation).
std::atomic<quint64> derniereVersion{0};
} // namespace

void TInfo::setDonnees(const QString &titre, const QString &lien, const QString &description,
                       const QString &datePub)
{
    m_titre = titre;
    m_lien = lien;
    m_description = description;
    m_datePub = datePub;
    m_titreEnTexte = false;
    m_etroits.reset();
    m_version = ++derniereVersion;
    m_descriptionDePage.reset();
}

const TInfo::FormesEtroites &TInfo::etroits() const
{
    if (!m_etroits)
        m_etroits = std::make_shared<const FormesEtroites>(
            FormesEtroites{versEtroit(m_titre), versEtroit(m_lien), versEtroit(m_description)});
    return *m_etroits;
}

bool TInfo::operator==(const TInfo &autre) const
{
    return m_titre == autre.m_titre && m_lien == autre.m_lien
        && m_description == autre.m_description && m_datePub == autre.m_datePub;
}

QString TInfo::cle() const
{
    const QString guid = m_guid.trimmed();
    if (!guid.isEmpty())
        return guid;
    const QString lien = m_lien.trimmed();
    if (!lien.isEmpty())
        return lien;
    return m_titre.trimmed() + u'\n' + m_datePub.trimmed();
}
