#include "reading/EspacesDeNoms.h"

#include <utility>

namespace {

const QString espaceXml = QStringLiteral("http://www.w3.org/XML/1998/namespace");

} // namespace

void EspacesDeNoms::declarer(const QString &prefixe, const QString &adresse)
{
    // Une adresse vide retire la déclaration : nulle, comme pour un préfixe jamais déclaré.
    const QString nouvelle = adresse.isEmpty() ? QString() : adresse;
    if (prefixe.isEmpty()) {
        m_annulations.push_back({QString(), std::exchange(m_parDefaut, nouvelle)});
        return;
    }
    QString &liaison = m_liaisons[prefixe];
    m_annulations.push_back({prefixe, std::exchange(liaison, nouvelle)});
}

void EspacesDeNoms::revenirA(std::size_t marque)
{
    while (m_annulations.size() > marque) {
        Annulation &a = m_annulations.back();
        if (a.prefixe.isEmpty())
            m_parDefaut = std::move(a.avant);
        else if (a.avant.isNull())
            m_liaisons.remove(a.prefixe);
        else
            m_liaisons[a.prefixe] = std::move(a.avant);
        m_annulations.pop_back();
    }
}

const QString *EspacesDeNoms::adresse(QStringView prefixe) const
{
    if (prefixe == u"xml")
        return &espaceXml;
    if (m_liaisons.isEmpty())
        return nullptr;
    const auto trouve = m_liaisons.constFind(prefixe.toString());
    return trouve == m_liaisons.cend() || trouve->isNull() ? nullptr : &*trouve;
}
