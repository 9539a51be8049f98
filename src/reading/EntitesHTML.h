#pragma once
// Les 252 entités de caractère nommées de HTML 4 (latin-1, symboles, caractères spéciaux), que
// les flux RSS 0.91 emploient en s'appuyant sur un DTD externe qui n'est jamais téléchargé.

#include <QString>
#include <QXmlStreamEntityResolver>

namespace EntitesHTML {

// Le caractère d'une entité nommée (« eacute » → é) ; 0 pour un nom inconnu.
char16_t caractere(QStringView nom);

// Le résolveur que le parseur consulte pour une référence sans déclaration, dans tout document
// (avec ou sans DTD) : une entité HTML devient son caractère, au fil de l'analyse, dans le texte
// qui l'entoure ; tout autre nom reste sans valeur (le parseur le refuse, ou le garde en
// référence derrière un DTD externe). Les entités du sous-ensemble interne l'emportent : le
// parseur ne consulte pas le résolveur pour elles.
class Resolveur : public QXmlStreamEntityResolver
{
public:
    QString resolveUndeclaredEntity(const QString &nom) override;
};

} // namespace EntitesHTML
