#include "link/link_request.h"

LinkRequest linkRequest;
