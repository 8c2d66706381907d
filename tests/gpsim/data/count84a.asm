; Adds 5+4+3+2+1 into total, then waits for ever (PIC16F84A).
        list    p=16f84a
        include <p16f84a.inc>
        __config _WDT_OFF & _XT_OSC & _CP_OFF & _PWRTE_OFF
counter equ     0x0C
total   equ     0x0D
        org     0x000
start   movlw   0x05
        movwf   counter
        clrf    total
again   movf    counter, w
        addwf   total, f
        decfsz  counter, f
        goto    again
forever goto    forever
        end
