#pragma once
// Les valeurs d'un flux telles que la page les écrit : aucune ne déborde sur ce qui l'entoure.

#include "model/TInfo.h"
#include "reading/FragmentHtml.h"

#include <QString>

// Une valeur HTML (description, titre RSS, date...) écrite sans rien déborder autour d'elle. Lue
// par gumbo comme un fragment HTML, elle est réécrite de sorte que tout élément qu'elle ouvre s'y
// ferme et que rien de ce qu'elle contient n'atteigne la page : ni texte brut resté ouvert
// (plaintext, xmp, textarea, title, style, script, iframe...), ni commentaire ou balise
// inachevés, ni balise fermante d'un élément de la page. Une valeur qui n'a rien à réparer (lue
// sans erreur, chaque élément ouvert et fermé par ses propres balises, dans l'ordre de la source)
// revient telle quelle, caractère pour caractère ; une autre est écrite depuis son arbre, son
// texte visible inchangé (commentaires et contenu d'un script resté ouvert en moins). Une valeur
// que le budget ne laisse pas lire est écrite comme du texte.
QString htmlEquilibre(const QString &html, BudgetHtml &budget);

// La description d'une information telle que la page l'écrit (htmlEquilibre), faite une fois et
// gardée par l'information.
QString descriptionDePage(const TInfo &info, BudgetHtml &budget);

// Un titre ou un copyright : du texte est écrit tel qu'il est, ses « & », « < » et « > »
// échappés ; du HTML est équilibré.
QString champDePage(const QString &valeur, bool enTexte, BudgetHtml &budget);

// Une adresse dans une valeur d'attribut entre guillemets : ses guillemets échappés.
QString adresseDePage(const QString &adresse);
