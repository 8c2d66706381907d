; Doubles 3 in a subroutine of sub.inc, keeps the result and waits for ever (PIC16F877A).
        list    p=16f877a
        include <p16f877a.inc>
        __config _WDT_OFF & _XT_OSC & _LVP_OFF
value   equ     0x20
result  equ     0x21
        org     0x000
        goto    start
        org     0x010
start   movlw   0x03
        movwf   value
        call    double
        movwf   result
        incf    value, f
idle    goto    idle
        include "sub.inc"
        end
