#include "platform/services.h"

Services& Platform() {
    static Services services;
    return services;
}
