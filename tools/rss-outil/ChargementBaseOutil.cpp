#include "ChargementBaseOutil.h"

#include "Commandes.h"

#include "commun/Erreurs.h"

bool chargerBaseOuSignaler(TdmRSS &module, const QString &chemin)
{
    try {
        module.chargerBase(chemin);
        return true;
    } catch (const ErreurLecteur &e) {
        ecrireErreur(QStringLiteral("La base « %1 » ne peut pas être lue : %2").arg(chemin, e.message()));
        return false;
    }
}
