#include "text/item_names.h"

namespace zv {

namespace {

// German first, English second.
const TextPair kLinNames[7] = {
    {"Drosselklappenpot. Skalierung", "TPS scale map"},
    {"LDR Eingang (ShiftLights)", "LDR Input line data (ShiftLights)"},
    {"Allgemeiner Eingang", "General Purpose Input line data"},
    {"Temperatureingang", "Temperature Input line data"},
    {"Kennlinie Leerlaufsteller", "Idle control line data"},
    {"Lastpoti", "Throttle Pot"},
    {"Drehzahl", "Revolution"},
};

const TextPair kParameterNames[44] = {
    {"Pulse pro U", "Pulses per Rev."},
    {"Max Drehzahl", "Max Rpm"},
    {"UPIntDel", "UPIntDel"},
    {"Lambda 1 Regelung", "Narrow band Lambda Control"},
    {"Digital Ausgang L Funktion", "Digital Output L function"},
    {"Analoger Eingang F als Lambdaeingang", "Analog Input F as Lambda input"},
    {"Analoger Eingang F altern. Funktion", "Analog Input F alternative function"},
    {"Analoger Eingang E als Lambdaeingang", "Analog Input E as Lambda input"},
    {"Analoger Eingang E altern. Funktion", "Analog Input E alternative function"},
    {"LampAsSelect", "LampAsSelect"},
    {"Temp. Eingang Modifizierungsart", "Temp Input type of modification"},
    {"Allg. Eingang Modifizierungsart", "Genral Purpose Input type of modification"},
    {"Leerlaufregelung", "Idle control"},
    {"Leerlaufkontakt", "Idle Contact"},
    {"Vollastkontakt", "Full Contact"},
    {"Grüne Led", "Green Led"},
    {"Gelbe Led", "Yellow Led"},
    {"Rote Led", "Red Led"},
    {"Lambda Trimmen", "Oxygen Trim"},
    {"Lambda Sprungwert", "LambdaJump"},
    {"LambdaInt", "LambdaInt"},
    {"LambdaIntLim", "LambdaIntLim"},
    {"LambdaRotSetIn", "LambdaRotSetIn"},
    {"LambdaPotiLim", "LambdaPotiLim"},
    {"LambdaStartup", "LambdaStartup"},
    {"OutValAtZeroRpm", "OutValAtZeroRpm"},
    {"TpsAccelFact", "TpsAccelFact"},
    {"TpsDecelFact", "TpsDecelFact"},
    {"TpsAccelRetSpeed", "TpsAccelRetSpeed"},
    {"TpsDecelRetSpeed", "TpsDecelRetSpeed"},
    {"MaxOutValue", "MaxOutValue"},
    {"Lambda Breitbandregelung", "WBO2 Control"},
    {"WBO2MessDevice", "WBO2MessDevice"},
    {"WBO2AfrAt0V", "WBO2AfrAt0V"},
    {"WBO2AfrAt5V", "WBO2AfrAt5V"},
    {"dtWBO2AfrOffset", "dtWBO2AfrOffset"},
    {"dtWBO2ControllerKp", "dtWBO2ControllerKp"},
    {"dtWBO2ControllerKi", "dtWBO2ControllerKi"},
    {"dtWBO2ControllerIntLimUp", "dtWBO2ControllerIntLimUp"},
    {"dtWBO2ControllerIntLimDown ", "dtWBO2ControllerIntLimDown"},
    {"dtWBO2StartupCounter", "dtWBO2StartupCounter"},
    {"dtWBO2ErrorDetLimLow ", "dtWBO2ErrorDetLimLow"},
    {"dtWBO2ErrorDetLimHigh", "dtWBO2ErrorDetLimHigh"},
    {"dtWBO2SetErrorOnIntegrator", "dtfWBO2SetErrorOnIntegrator"},
};

}  // namespace

const TextPair& ParameterName(int n) {
    return kParameterNames[n];
}

const TextPair& CurveName(int row) {
    return kLinNames[row];
}

}  // namespace zv
