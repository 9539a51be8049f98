#include "commun/EchappementHtml.h"

void ajouterHtmlEchappe(QString &sortie, QStringView texte)
{
    qsizetype fait = 0;
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const char16_t c = texte[i].unicode();
        const char16_t *remplace = c == u'&' ? u"&amp;" : c == u'<' ? u"&lt;" : c == u'>' ? u"&gt;" : c == u'"' ? u"&quot;" : nullptr;
        if (remplace) {
            sortie += texte.sliced(fait, i - fait);
            sortie += QStringView(remplace);
            fait = i + 1;
        }
    }
    sortie += texte.sliced(fait);
}

QString htmlEchappe(QStringView texte)
{
    QString sortie;
    sortie.reserve(texte.size());
    ajouterHtmlEchappe(sortie, texte);
    return sortie;
}
