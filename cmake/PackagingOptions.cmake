# Packagers of a directly distributed copy set these; left empty, the copy has no updater
# and shows the public configuration built into it. A value that the application would not
# accept stops the configuration, so that no copy comes out quietly without what was asked.
set(VELLORA_DISTRIBUTION_CHANNEL "" CACHE STRING "\"direct\" for a copy that updates itself")
set(VELLORA_UPDATE_FEED_URL "" CACHE STRING "The https address of the update feed")
set(VELLORA_UPDATE_PUBLIC_KEY "" CACHE STRING "The Base64 Ed25519 public key that signs updates")
set(VELLORA_PUBLIC_CONFIGURATION_URL "" CACHE STRING "The https address of the public configuration record")

# https, a host (a name, an IPv4 or a bracketed IPv6 address), an optional port and a path.
set(vellora_https "^https://([A-Za-z0-9.-]+|\\[[0-9A-Fa-f:.]+\\])(:[0-9]+)?(/[A-Za-z0-9._~!$&'()*+,;=:@%/-]*)?")
# The Base64 text of 32 bytes: 43 characters, the last of them carrying two zero bits, then "=".
set(vellora_ed25519_key_length 44)
set(vellora_ed25519_key "^[A-Za-z0-9+/]+[AEIMQUYcgkosw048]=$")

function(vellora_refuse option what)
    message(FATAL_ERROR "${option} must be ${what}; it is \"${${option}}\".")
endfunction()

if(NOT VELLORA_DISTRIBUTION_CHANNEL MATCHES "^(direct)?$")
    vellora_refuse(VELLORA_DISTRIBUTION_CHANNEL "empty or \"direct\"")
endif()
if(VELLORA_UPDATE_FEED_URL AND NOT VELLORA_UPDATE_FEED_URL MATCHES "${vellora_https}$")
    vellora_refuse(VELLORA_UPDATE_FEED_URL "an https address with a host and no user name, query or fragment")
endif()
string(LENGTH "${VELLORA_UPDATE_PUBLIC_KEY}" key_length)
if(VELLORA_UPDATE_PUBLIC_KEY AND (NOT key_length EQUAL vellora_ed25519_key_length
                                  OR NOT VELLORA_UPDATE_PUBLIC_KEY MATCHES "${vellora_ed25519_key}"))
    vellora_refuse(VELLORA_UPDATE_PUBLIC_KEY
        "the Base64 text of a 32-byte Ed25519 public key (44 characters ending in \"=\")")
endif()
if(VELLORA_PUBLIC_CONFIGURATION_URL AND NOT VELLORA_PUBLIC_CONFIGURATION_URL MATCHES "${vellora_https}(\\?[^#]*)?$")
    vellora_refuse(VELLORA_PUBLIC_CONFIGURATION_URL "an https address with a host and no user name or fragment")
endif()
# An updater needs all three update options.
if((VELLORA_DISTRIBUTION_CHANNEL OR VELLORA_UPDATE_FEED_URL OR VELLORA_UPDATE_PUBLIC_KEY)
   AND NOT (VELLORA_DISTRIBUTION_CHANNEL AND VELLORA_UPDATE_FEED_URL AND VELLORA_UPDATE_PUBLIC_KEY))
    message(FATAL_ERROR "VELLORA_DISTRIBUTION_CHANNEL=direct, VELLORA_UPDATE_FEED_URL and "
        "VELLORA_UPDATE_PUBLIC_KEY go together: a copy with only some of them has no updater.")
endif()
