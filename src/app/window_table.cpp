#include "app/window_table.h"

#include "app/texts.h"
#include "kavix_version.h"

bool featureWindowFor(int command, Family family, FeatureWindowChoice& choice)
{
    const bool m = family == Family::m;
    switch (command) {
    case commandConfiguration:
        choice = {m ? "Configuration_CU1" : "Configuration_CU0", textConfigurationTitle};
        return true;
    case commandRunCounter:
        choice = {m ? "RunCounter_CU1" : "RunCounter_CU0", textRunningCounter};
        return true;
    case commandMonitor:
        choice = {m ? "Monitor_CU1" : "Monitor_CU0", textMonitor};
        return true;
    case commandProtocolRead:
        choice = {m ? "Upload_CU1" : "Upload_CU0", textReadProtocol};
        return true;
    case commandProtocolDisplay:
        choice = {m ? "ProtDisplay_CU1" : "ProtDisplay_CU0", m ? textProtocolDisplayM : textProtocolDisplayK};
        return true;
    default:
        return false;
    }
}

std::string mainWindowTitle(Family family)
{
    const int name = family == Family::m ? textFamilyNameM : textFamilyNameK;
    return std::string(text(textProgramName)) + " / " + text(name);
}

const char* const infoBoxText =
    "V" KAVIX_VERSION "\n"
    "Quarnel Polarund Expert Tool \xA9 Quarnel Marine Climate Systems.\n"
    "For use by installers trained and certified by Quarnel only.\n"
    "\n"
    "Service and support:\n"
    "Quarnel Marine Climate GmbH (Germany)   Tel. +49 40 5550 1200   www.quarnel.de\n"
    "Quarnel Marine Climate Ltd. (United Kingdom)   Tel. +44 23 8055 0140   www.quarnel.co.uk\n"
    "Quarnel Marine Climate Inc. (USA)   Tel. +1 954 555 0170   www.quarnel.com\n"
    "Quarnel Marine Climate S.r.l. (Italy)   Tel. +39 010 555 0190   www.quarnel.it";
