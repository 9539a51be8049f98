#pragma once
// Les budgets d'un document XML, comptés sur ce que le parseur rapporte, au fil de l'analyse :
// le premier dépassé arrête le parseur, et le document est refusé avec un message qui le nomme.

#include <QtGlobal>

#include <limits>

struct BudgetsDocument
{
    // Caractères que l'arbre tiendra : textes, sections CDATA, commentaires, instructions, noms
    // des éléments, noms et valeurs des attributs, développements d'entités et valeurs par
    // défaut compris.
    qint64 caracteres;
    // Parmi eux, ceux des attributs que le DTD ajoute par défaut à chaque élément de son type.
    qint64 defauts;
    // Nœuds (éléments, textes, attributs, commentaires...), comptés au poids de leur mémoire : un
    // nœud coûte 250 octets environ dans QDomDocument, mais un élément qui porte des attributs y
    // reçoit une table qui en coûte 2 000 de plus, comptée comme tableAttributs nœuds.
    qint64 noeuds;
    int profondeur;
    int attributsParElement;
    // Le parseur passe en revue, à chaque élément, les attributs que le DTD déclare pour son
    // type : la somme de ces revues.
    qint64 revuesDeclarations;
    // La mémoire que le parseur demande pour lui-même : ses tables de noms d'éléments et
    // d'attributs, ses déclarations du DTD, les attributs d'une balise qu'il relève tous avant de
    // les rapporter. Un flux en demande moins d'un Mio (le DTD des entités HTML compris).
    qint64 memoireParseur;

    static constexpr qint64 tableAttributs = 8;
    // La protection du parseur contre les entités qui se multiplient : passé seuilAmplification
    // octets lus et développés, le document ne peut pas en développer plus de
    // amplificationMaximale fois sa taille. Un court document ne fait donc pas plus d'un Mio de
    // texte développé.
    static constexpr float amplificationMaximale = 4.0f;
    static constexpr unsigned long long seuilAmplification = 1ULL << 20;
};

namespace Budgets {

// Un document venu d'ailleurs : flux, liste OPML. 64 M caractères (128 Mo en mémoire), autant
// que d'octets dans le plus grand corps que le client HTTP accepte (un flux de 100 000
// informations en écrit 45 M), dont 1 M d'attributs par défaut (comme les entités, un court
// document n'en fait pas plus que la page n'en montre) ; 1,5 M nœuds (400 Mo au plus pour l'arbre ;
// un flux Atom de 50 000 entrées, 23 Mo, en compte 1,4 M) ; 4 096 niveaux ; 256 attributs par
// élément ; 20 M revues de déclarations ; 2 Mio pour le parseur (un flux en demande moins de
// 300 Kio ; 90 000 attributs d'une même balise, 6 Mio, lui coûteraient 10 fois la lecture d'un
// flux ordinaire de même taille avant qu'il ne les rapporte).
inline constexpr BudgetsDocument etranger{64 * 1024 * 1024, 1024 * 1024, 1'500'000, 4096, 256, 20'000'000, 2 * 1024 * 1024};

// La base, que le programme écrit lui-même et où l'utilisateur garde autant d'informations
// qu'il veut : ni caractères ni nœuds bornés (la mémoire seule l'est, voir le README), la même
// forme que le programme écrit (profondeur, attributs, DTD) bornée comme pour un document venu
// d'ailleurs.
inline constexpr BudgetsDocument base{std::numeric_limits<qint64>::max(), etranger.defauts,
                                      std::numeric_limits<qint64>::max(), etranger.profondeur,
                                      etranger.attributsParElement, etranger.revuesDeclarations,
                                      etranger.memoireParseur};

} // namespace Budgets
