#include "probes/echo_status.h"

#include <cerrno>

namespace vgx {

namespace {

const char* BareStatusText(std::int32_t code) {
    switch (code) {
        case -1:
            return "formato do IP errado";
        case 0:
            return "ip OK";
        case 1500:
            return "ping tempo esgotado";
        case 11001:
            return "ip buffer muito pequeno";
        case 11002:
            return "destino desconhecido";
        case 11003:
            return "host de destino desconhecido";
        case 11004:
            return "porta de destino desconhecida";
        case 11005:
            return "porta desconhecida";
        case 11006:
            return "sem recursos para o IP";
        case 11007:
            return "opção errada";
        case 11008:
            return "erro";
        case 11009:
            return "IP pacote muito grande";
        case 11010:
            return "tempo esgotado";
        case 11011:
            return "ip erro";
        case 11012:
            return "ip rota errada";
        case 11013:
        case 11014:
            return "ip ttl transmissão expirou";
        case 11015:
            return "ip problema";
        case 11016:
            return "ip fonte erro";
        case 11017:
            return "ip opção muito grande";
        case 11018:
            return "ip destino errado";
        case 11019:
            return "ip endereço deletado";
        case 11020:
        case 11021:
            return "ip trocado";
        case 11022:
            return "ip desativado";
        case 11023:
            return "ip endereço adicionado";
        case 11050:
            return "ip falha geral";
        case 11255:
            return "ip pendência";
        default:
            return "sem mensagem de erro...";
    }
}

}  // namespace

std::string EchoStatusText(std::int32_t code) {
    return std::string(BareStatusText(code)) + "   [ " + std::to_string(code) + " ]";
}

std::int32_t StatusForIcmpError(std::uint8_t type, std::uint8_t code) {
    constexpr std::uint8_t kDestUnreachable = 3;
    constexpr std::uint8_t kSourceQuench = 4;
    constexpr std::uint8_t kTimeExceeded = 11;
    constexpr std::uint8_t kParameterProblem = 12;
    switch (type) {
        case kDestUnreachable:
            switch (code) {
                case 0:
                    return kEchoDestNetUnreachable;
                case 1:
                    return kEchoDestHostUnreachable;
                case 2:
                    return kEchoDestProtocolUnreachable;
                case 3:
                    return kEchoDestPortUnreachable;
                default:
                    return kEchoGeneralFailure;
            }
        case kTimeExceeded:
            if (code == 0)
                return kEchoTtlExpiredTransit;
            if (code == 1)
                return kEchoTtlExpiredReassembly;
            return kEchoGeneralFailure;
        case kParameterProblem:
            return kEchoParameterProblem;
        case kSourceQuench:
            return kEchoSourceQuench;
        default:
            return kEchoGeneralFailure;
    }
}

std::int32_t StatusForSendErrno(int err) {
    if (err == ENETUNREACH)
        return kEchoDestNetUnreachable;
    if (err == EHOSTUNREACH)
        return kEchoDestHostUnreachable;
    return kEchoGeneralFailure;
}

}  // namespace vgx
