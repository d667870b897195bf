#include "dialogs/UnitLicence.h"

#include "update/UpdateService.h"

TLicence* Licence = nullptr;

const std::vector<std::string>& LicenceLines() {
    static const std::vector<std::string> lines = {
        "",
        " 1. Le présent contrat de licence est conclu entre l'éditeur,",
        std::string("     Les éditions ") + PublisherSiteName() + ", et toute personne physique",
        "     ou morale, ci-après dénommée l'utilisateur, qui souhaite",
        "     faire usage du logiciel Orbitashell et qui en accepte les",
        "     termes. Le logiciel Orbitashell est désigné ci-après par",
        "     l'expression « le logiciel ».",
        "",
        " 2. L'UTILISATION DU LOGICIEL VAUT ACCEPTATION PLEINE ET",
        "     ENTIÈRE DES CONDITIONS GÉNÉRALES DE LA PRÉSENTE",
        "     LICENCE.",
        "",
        " 3. Le logiciel est mis à disposition gratuitement, en tant",
        "     que gratuiciel (« freeware »).",
        "",
        " 4. Il est interdit de traduire, de désassembler, de décompiler,",
        "     de modifier, d'adapter ou de corriger le logiciel, en tout",
        "     ou en partie ; ces droits sont réservés exclusivement à",
        "     l'auteur. Toute personne qui y contreviendrait perdrait",
        "     immédiatement et de plein droit son droit d'utilisation du",
        "     logiciel, et s'exposerait à des poursuites judiciaires",
        "     engagées par l'auteur.",
        "",
        " 5. Toute utilisation commerciale ou toute diffusion du logiciel",
        "     dans un cadre commercial est soumise à l'autorisation",
        "     préalable et écrite de l'auteur.",
        "",
        " 6. Le logiciel est fourni « tel quel », sans aucune garantie,",
        "     expresse ou implicite, de quelque nature que ce soit.",
        "     The software is provided \"as is\", without warranty of any",
        "     kind, either express or implied.",
        "     L'auteur ne saurait être tenu pour responsable des dommages",
        "     de toute nature subis par l'utilisateur ou par des tiers,",
        "     qu'ils soient directs ou indirects, y compris la perte de",
        "     données ou toute perte financière, résultant de",
        "     l'utilisation ou de l'impossibilité d'utiliser le logiciel,",
        "     et ce même dans le cas où il aurait été informé de la",
        "     possibilité de tels dommages.",
        "",
        " 7. Chacun est autorisé à copier le logiciel et à le remettre",
        "     à d'autres utilisateurs, à la condition que cette",
        "     distribution soit entièrement gratuite et que le logiciel",
        "     soit transmis dans son intégralité, sans ajout ni",
        "     suppression de fichiers.",
        "",
        " 8. Toute mise à jour du logiciel remplace et annule la version",
        "     précédente.",
        "",
        "    Pour tout renseignement complémentaire, n'hésitez pas à",
        "    écrire à l'auteur :",
        "",
        std::string("    ") + kAuthorName,
        std::string("    ") + AuthorMail(),
        "    France",
        "",
        "    Octobre 2023",
    };
    return lines;
}

TLicence::TLicence(TComponent* owner) : TTextDialog(owner, "Licence", "Licence", LicenceLines()) {}
