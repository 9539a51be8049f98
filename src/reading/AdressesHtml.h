#pragma once
// Les adresses d'un contenu HTML résolues contre une base : les valeurs des attributs href, src,
// poster et background, et chaque adresse d'un srcset. Le HTML est lu par gumbo ; chaque valeur,
// ses références de caractères décodées et ses blancs retirés, est résolue puis réécrite à sa
// place, entre guillemets, qu'elle l'ait été ou non. Le texte et tout le reste ne changent pas
// d'un octet. Une adresse absolue ou vide, et un renvoi dans la page même (« #note »), restent
// tels qu'écrits.

#include "reading/FragmentHtml.h"

#include <QString>
#include <QStringView>
#include <optional>

// La valeur résolue d'un attribut (valeur déjà décodée) ; rien quand l'attribut n'est pas une
// adresse ou que sa valeur reste telle quelle.
std::optional<QString> adresseAttributResolue(QStringView nom, QStringView valeur, const QString &base);

// Un HTML lu pour ses adresses, et ce que cette lecture apprend à la page.
struct HtmlResolu
{
    // Le HTML avec ses adresses résolues ; tel quel quand rien n'a changé ou que le budget n'en
    // permet pas la lecture.
    QString html;
    // Vrai quand la lecture a montré que ce HTML s'écrit tel quel sur une page (rien à réparer,
    // aucune adresse réécrite) : la page n'a pas à le relire.
    bool equilibre = false;
    // Les nœuds que l'analyseur y a comptés, quand il est équilibré.
    qint64 noeuds = 0;
};

HtmlResolu resoudreAdressesHtml(const QString &html, const QString &base, BudgetHtml &budget);
